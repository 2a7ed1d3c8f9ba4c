// The frame clock: at most one drawn frame every MinFrameDt, none while paused.
#pragma once

// The clock half of BeginFrame: measures the interval, applies the frame cap and the pause
// key. Returns the frame's dt or 0 when no frame is to be drawn.
float FrameClockStep();
// BeginFrame: FrameClockStep, then on a drawn frame clears the buffers and saves the bare
// projection.
float BeginFrame();
// Seconds until the next frame is due (0 when it is due now); the loop sleeps that long
// when no input is waiting.
float TimeUntilNextFrame();
