// The OpenGL half of one frame.
#pragma once

// Clears colour and depth and saves the bare projection matrix.
void BeginFrameDrawing();
// Restores the bare projection and presents the frame.
void EndFrameDrawing();
