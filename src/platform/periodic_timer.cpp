#include "platform/periodic_timer.h"

#include <chrono>
#include <new>
#include <thread>

struct PeriodicTimer {
    std::thread thread;
};

namespace {

void RunTimer(uint32_t periodMs, PeriodicCallback callback, void* user) {
    using Clock = std::chrono::steady_clock;
    const auto period = std::chrono::milliseconds(periodMs);
    auto due = Clock::now() + period;
    for (;;) {
        std::this_thread::sleep_until(due);
        if (!callback(user)) return;
        due += period;
        // After a long stall (a suspended machine, a debugger) go on from now instead of
        // firing a burst of catch-up ticks.
        auto now = Clock::now();
        if (now - due > 10 * period) due = now + period;
    }
}

}  // namespace

PeriodicTimer* StartPeriodicTimer(uint32_t periodMs, PeriodicCallback callback, void* user) {
    if (callback == nullptr || periodMs == 0) return nullptr;
    PeriodicTimer* timer = new (std::nothrow) PeriodicTimer;
    if (timer == nullptr) return nullptr;
    timer->thread = std::thread(RunTimer, periodMs, callback, user);
    return timer;
}

void JoinPeriodicTimer(PeriodicTimer* timer) {
    if (timer == nullptr) return;
    if (timer->thread.joinable()) timer->thread.join();
    delete timer;
}
