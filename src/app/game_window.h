// The game window and its OpenGL context.
#pragma once

// Seeds the random generator, runs the launcher, opens the window and sets the fixed
// OpenGL state. False when the launcher was closed or the window could not be made.
bool InitGame(const float clearColour[4]);
bool CreateGLWindow();
// With the window's context current: clear colour, viewport, projection, the fixed
// drawing state, the light and material, and the initial view.
void SetupGLState();
// Restores the display mode and releases the context; safe to call more than once.
void DestroyGLWindow();
// Multiplies the view matrix onto the pushed projection and loads an identity modelview.
void ApplyCamera();
