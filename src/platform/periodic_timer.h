// A periodic timer on its own thread, standing in for a multimedia timer.
#pragma once

#include <cstdint>

struct PeriodicTimer;

// Called once per period on the timer's thread; returning false ends the timer (the
// callback ends its own timer, as a multimedia timer callback would).
using PeriodicCallback = bool (*)(void* user);

// Starts calling callback(user) every periodMs milliseconds, the first time periodMs from
// now. Returns null when the thread cannot be started.
PeriodicTimer* StartPeriodicTimer(uint32_t periodMs, PeriodicCallback callback, void* user);
// Waits until the callback has ended the timer (it must be about to, or this blocks), then
// frees it. Never call from the callback itself.
void JoinPeriodicTimer(PeriodicTimer* timer);
