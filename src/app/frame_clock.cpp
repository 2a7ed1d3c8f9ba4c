#include "core/game_app.h"
#include "core/services.h"
#include "render/frame.h"

float FrameClockStep() {
    if (!App.running) return 0.0f;
    float now = Seconds();
    float dt = now - App.lastFrameTime;
    App.dt = dt;
    // Too early: no frame, and the next call measures from the same start.
    if (dt < MinFrameDt) return 0.0f;
    App.lastFrameTime = now;
    // One press of P toggles once; auto-repeat toggles at most once per frame.
    if (App.controls.keys[vk::P] != 0) {
        App.controls.keys[vk::P] = 0;
        App.paused = !App.paused;
    }
    if (App.paused) return 0.0f;
    if (dt > MaxFrameDt) dt = MaxFrameDt;
    return dt;
}

float BeginFrame() {
    float dt = FrameClockStep();
    if (dt != 0.0f) BeginFrameDrawing();
    return dt;
}

float TimeUntilNextFrame() {
    float left = MinFrameDt - (Seconds() - App.lastFrameTime);
    return left > 0.0f ? left : 0.0f;
}
