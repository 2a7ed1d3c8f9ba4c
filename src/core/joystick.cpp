#include "core/joystick.h"

#include "core/controls.h"
#include "core/game_app.h"
#include "platform/joystick.h"

namespace {

// The position scaled to -1..1 over the device's range; the difference is taken as an
// unsigned 32-bit value like the range itself.
float Scale(int32_t position, int32_t min, int32_t max) {
    uint32_t offset = static_cast<uint32_t>(position) - static_cast<uint32_t>(min);
    uint32_t range = static_cast<uint32_t>(max) - static_cast<uint32_t>(min);
    return 2.0f * static_cast<float>(offset) / static_cast<float>(range) - 1.0f;
}

}  // namespace

bool InitJoystick() {
    Joystick& j = App.joystick;
    j.id = 0;
    j.present = PlatformOpenJoystick(j.xMin, j.xMax, j.yMin, j.yMax);
    if (!j.present) return false;
    if (j.xMin == j.xMax || j.yMin == j.yMax) {
        j.present = false;
        return false;
    }
    int32_t x, y;
    uint32_t buttons;
    j.present = PlatformReadJoystick(x, y, buttons);
    return j.present;
}

bool PollJoystick() {
    Joystick& j = App.joystick;
    if (!j.present) return false;
    int32_t x, y;
    uint32_t buttons;
    if (!PlatformReadJoystick(x, y, buttons)) return false;  // unplugged: the mouse steers again
    j.buttons = buttons;
    j.x = Scale(x, j.xMin, j.xMax);
    j.y = Scale(y, j.yMin, j.yMax);
    return true;
}

void JoystickButtonsToKeys(uint32_t buttons, uint8_t keys[256]) {
    keys[vk::Left] = buttons & 1u;
    keys[vk::Down] = (buttons >> 1) & 1u;
    keys[vk::Right] = (buttons >> 2) & 1u;
    keys[vk::Up] = (buttons >> 3) & 1u;
    keys[vk::Space] = (buttons >> 4) & 1u;
    keys[vk::A] = (buttons >> 5) & 1u;
    keys[vk::Z] = (buttons >> 7) & 1u;
}
