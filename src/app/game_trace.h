// KELVANE_TRACE=1 makes the game tell what a player sees change, one line per change on
// stderr: the flow state, the HUD line, the camera view, the throttle, a burst of fire,
// the pause, the key card, each caption, and each error report (see ShowError). Scripts
// that play the real game from outside wait on these lines instead of guessing from the
// picture, and fail on an error.
#pragma once

#include <string>

#include "core/trace.h"

// Called once per loop iteration, after the frame (if any) was presented: prints whatever
// changed since the last call. Does nothing unless the trace is enabled.
void TraceGameChanges();

// One line that pins down how a session ended: the flow state, mission, score, throttle and
// view, both aircraft and the targets (floats in exact hexadecimal), the random generator.
// Equal lines mean equal outcomes bit for bit. The game traces it at exit as
// "kelvane: final <line>"; the replay tool prints it after replaying a recording.
std::string GameOutcome();
