// The game window with its OpenGL context.
#pragma once

struct PlatformWindow;

// Opens a window titled title with a current OpenGL compatibility context (double
// buffered, the deepest depth buffer of 32, 24 or 16 bits). Windowed: width x height of
// client area, the cursor confined to it. Full screen: the display switches to width x
// height (restored when the window is destroyed) and the cursor is hidden. Null when the
// window, the mode or the context cannot be made.
PlatformWindow* PlatformCreateGLWindow(const char* title, int width, int height, bool fullScreen);
// Releases the context, restores the display mode and the cursor, and closes the window.
void PlatformDestroyGLWindow(PlatformWindow* window);
// Presents the back buffer.
void PlatformSwapWindow(PlatformWindow* window);
// The size of the desktop the window opens on. False when it cannot be found.
bool PlatformDesktopSize(int& width, int& height);
// The window's client rectangle in screen pixels.
void PlatformWindowBounds(PlatformWindow* window, int& left, int& top, int& right, int& bottom);
// Bits of the depth buffer actually granted (0 when unknown).
int PlatformDepthBits(PlatformWindow* window);
