// The platform's millisecond clock.
#pragma once

#include <cstdint>

// Milliseconds since the program started, as an unsigned 32-bit count (wraps after ~49 days).
uint32_t PlatformTicks();
// Blocks the calling thread for about ms milliseconds.
void PlatformSleep(uint32_t ms);
