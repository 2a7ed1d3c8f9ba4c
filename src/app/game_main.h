// The frame loop.
#pragma once

// Runs frames until Q, Escape or closing the window ends the game: one input event, the
// frame clock, the game's frame (StepGameFrame), the drawing.
void RunFrameLoop();
