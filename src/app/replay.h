// Replaying a recorded session headless through the game's own update path: the same
// input gives the same state, frame by frame and bit for bit.
#pragma once

#include "app/recording.h"

// Called after each replayed frame, for checks that compare the state frame by frame.
using ReplayFrameHook = void (*)(void* user);

// Replays entries through HandleInputMessage and StepGameFrame with the recorded clock and
// time steps, without drawing. The world must already be loaded (LoadWorld).
void ReplayRecording(const Recording& recording, ReplayFrameHook afterFrame = nullptr, void* user = nullptr);
