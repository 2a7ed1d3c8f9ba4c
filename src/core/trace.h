// KELVANE_TRACE=1 makes the game tell on stderr what a player sees change (see
// app/game_trace.h) and every error report; scripts that play the real game from outside
// wait on these lines.
#pragma once

// Whether KELVANE_TRACE asks for the trace (read once).
bool TraceEnabled();
// Prints "kelvane: <text>" as one line on stderr and flushes it, when the trace is on.
void TraceLine(const char* format, ...) __attribute__((format(printf, 1, 2)));
