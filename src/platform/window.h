// The game window with its OpenGL context.
#pragma once

struct PlatformWindow;

// Presents the back buffer.
void PlatformSwapWindow(PlatformWindow* window);
