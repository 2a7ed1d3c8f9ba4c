#include "app/frame_clock.h"

#include "app/game_window.h"
#include "core/game_app.h"
#include "core/services.h"
#include "render/frame.h"
#include "render/help_card.h"
#include "render/scene.h"

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
    // F1 shows the key card and closes it; the game stands still while it is up.
    if (App.controls.keys[vk::F1] != 0) {
        App.controls.keys[vk::F1] = 0;
        App.helpShown = !App.helpShown;
        // Closing it on an unpaused game needs no picture: the next frame is drawn anyway.
        App.helpRedrawDue = App.helpShown || App.paused;
    }
    if (App.paused || App.helpShown) return 0.0f;
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

void PresentHelpCard() {
    if (!App.helpRedrawDue || App.window == nullptr) return;
    App.helpRedrawDue = false;
    BeginFrameDrawing();
    if (App.helpShown) {
        ApplyCamera();
        DrawScene();
        KeepFrame(App.settings.Width, App.settings.Height);
        DrawHelpCard();
    } else {
        DrawKeptFrame();
    }
    EndFrameDrawing();
}
