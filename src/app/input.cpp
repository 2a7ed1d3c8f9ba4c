#include "app/input.h"

#include "core/controls.h"
#include "core/game_app.h"
#include "app/game_window.h"
#include "app/recording.h"

namespace {

void Press(ControlState& c, int key, bool repeated) {
    c.keys[key] = 1;
    c.releaseDue[key] = 0;
    // Only a new press is latched: auto-repeat keeps a held key as it always was.
    if (!repeated) c.unread[key] = 1;
}

void Release(ControlState& c, int key) {
    if (c.unread[key] != 0) c.releaseDue[key] = 1;
    else c.keys[key] = 0;
}

}  // namespace

void HandleInputMessage(const InputEvent& event) {
    ControlState& c = App.controls;
    switch (event.type) {
        case InputEventType::KeyDown:
            if (event.key >= 0 && event.key < 256) Press(c, event.key, event.x == KeyRepeated);
            if (event.key == vk::Q || event.key == vk::Escape) {
                DestroyGLWindow();
                App.running = false;
            }
            break;
        case InputEventType::KeyUp:
            if (event.key >= 0 && event.key < 256) Release(c, event.key);
            break;
        case InputEventType::MouseMove:
            // The stick spans the window: -1 at the top-left corner, +1 at the bottom-right.
            // No clamping: the cursor is confined to the window anyway.
            c.stickX = 2.0f * static_cast<float>(event.x) / static_cast<float>(App.settings.Width) - 1.0f;
            c.stickY = 2.0f * static_cast<float>(event.y) / static_cast<float>(App.settings.Height) - 1.0f;
            break;
        case InputEventType::ButtonDown:
            Press(c, vk::Space, false);  // the left button is a second fire button
            break;
        case InputEventType::ButtonUp:
            Release(c, vk::Space);
            break;
        case InputEventType::CloseRequest:
            // Closing the game window by any means ends the loop like the quit keys.
            DestroyGLWindow();
            App.running = false;
            break;
        case InputEventType::None:
            break;
    }
}

bool PumpMessages() {
    InputEvent event;
    if (PlatformPollEvent(event)) {
        RecordEvent(event);
        HandleInputMessage(event);
    }
    return App.running;
}
