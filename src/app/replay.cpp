#include "app/replay.h"

#include "app/input.h"
#include "core/controls.h"
#include "core/game_app.h"
#include "core/services.h"
#include "math/random.h"
#include "sim/game_flow.h"

namespace {

uint32_t replayClockMs = 0;
uint32_t ReplayClock() { return replayClockMs; }

}  // namespace

void ReplayRecording(const Recording& recording, ReplayFrameHook afterFrame, void* user) {
    SeedRand(recording.seed);
    SetClockSource(ReplayClock);
    for (const RecordedEntry& e : recording.entries) {
        if (e.kind == RecordedEntry::Event) {
            HandleInputMessage(e.event);
            if (!App.running) break;
        } else {
            replayClockMs = e.clockMs;
            FrameDt = e.dt;
            // The live frame clock consumes P before the frame; paused frames were never
            // drawn, so they are simply absent from the recording.
            App.controls.keys[vk::P] = 0;
            StepGameFrame();
            if (afterFrame != nullptr) afterFrame(user);
        }
    }
    SetClockSource(nullptr);
}
