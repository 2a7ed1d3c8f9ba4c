// The frame clock: at most one drawn frame every MinFrameDt, none while paused.
#pragma once

// The clock half of BeginFrame: measures the interval, applies the frame cap, the pause
// key and the key card's F1. Returns the frame's dt or 0 when no frame is to be drawn.
float FrameClockStep();
// BeginFrame: FrameClockStep, then on a drawn frame clears the buffers and saves the bare
// projection.
float BeginFrame();
// Seconds until the next frame is due (0 when it is due now); the loop sleeps that long
// when no input is waiting.
float TimeUntilNextFrame();
// While the game is stopped for the key card nothing is drawn, so the card goes up over
// the last frame, drawn once more from the state it showed and kept; when the card closes
// on a paused game, the kept frame comes back without it.
void PresentHelpCard();
