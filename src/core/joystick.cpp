#include "core/joystick.h"

#include <string>

#include "core/controls.h"
#include "core/file_bytes.h"
#include "core/game_app.h"
#include "core/services.h"
#include "platform/game_controller.h"
#include "platform/joystick.h"
#include "platform/user_folders.h"

namespace {

// The player's file may be the whole community database of pads, a few hundred kilobytes.
constexpr size_t MaxPadMappingBytes = 4u << 20;

// The position scaled to -1..1 over the device's range; the difference is taken as an
// unsigned 32-bit value like the range itself.
float Scale(int32_t position, int32_t min, int32_t max) {
    uint32_t offset = static_cast<uint32_t>(position) - static_cast<uint32_t>(min);
    uint32_t range = static_cast<uint32_t>(max) - static_cast<uint32_t>(min);
    return 2.0f * static_cast<float>(offset) / static_cast<float>(range) - 1.0f;
}

// The throttle shoulders as the simulation expects its keys: one step per pulse. A held
// shoulder pulses on the press and every PadThrottleRepeat after it.
uint32_t StepThrottle(Joystick& j, uint32_t held) {
    const uint32_t throttle = PadBitThrottleUp | PadBitThrottleDown;
    uint32_t out = held & ~throttle;
    uint32_t pressed = held & throttle & ~j.padHeld;
    float now = Seconds();
    if (pressed != 0) {
        out |= pressed;
        j.nextThrottleStep = now + PadThrottleRepeat;
    } else if ((held & throttle) != 0 && now >= j.nextThrottleStep) {
        out |= held & throttle;
        j.nextThrottleStep += PadThrottleRepeat;
        // After a stall, one step, not a burst of the steps missed.
        if (j.nextThrottleStep <= now) j.nextThrottleStep = now + PadThrottleRepeat;
    }
    j.padHeld = held;
    return out;
}

bool PollRawJoystick(Joystick& j) {
    if (!j.present) return false;
    int32_t x, y;
    uint32_t buttons;
    if (!PlatformReadJoystick(x, y, buttons)) return false;
    j.buttons = buttons;
    j.x = Scale(x, j.xMin, j.xMax);
    j.y = Scale(y, j.yMin, j.yMax);
    return true;
}

}  // namespace

void StartPads() {
    if (!PlatformStartPads()) return;  // the keyboard, the mouse and a joystick still work
    char folder[PathBufferSize];
    if (!PlatformUserConfigFolder(folder, sizeof folder, "kelvane")) return;
    std::string path = std::string(folder) + "/" + PadMappingFile;
    uint8_t* data = nullptr;
    size_t size = 0;
    FileReadStatus status = ReadWholeFile(path.c_str(), MaxPadMappingBytes, data, size);
    if (status == FileReadStatus::CannotOpen) return;  // the player has added none
    if (status != FileReadStatus::Read) {
        ShowError("Unable to read the pad mappings:", path.c_str());
        return;
    }
    int firstBad = 0;
    int refused = PlatformAddPadMappings(reinterpret_cast<const char*>(data), size, firstBad);
    delete[] data;
    if (refused > 0) {
        // The other lines are in use; the pad of the refused one keeps SDL's own mapping.
        std::string detail = path + ", line " + std::to_string(firstBad);
        ShowError("Unable to use the pad mapping:", detail.c_str());
    }
}

float PadStickAxis(float value) {
    float size = value < 0.0f ? -value : value;
    if (!(size > PadDeadZone)) return 0.0f;  // a NaN rests too
    if (size > 1.0f) size = 1.0f;
    float scaled = (size - PadDeadZone) / (1.0f - PadDeadZone);
    return value < 0.0f ? -scaled : scaled;
}

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
    float x, y;
    uint32_t held;
    bool read;
    if (PlatformReadPad(x, y, held)) {
        j.x = PadStickAxis(x);
        j.y = PadStickAxis(y);
        j.buttons = StepThrottle(j, held);
        j.padInUse = true;
        read = true;
    } else {
        j.padInUse = false;
        j.padHeld = 0;
        read = PollRawJoystick(j);
    }
    // Pulled out (or gone quiet): the mouse steers again, and the keys the device held are
    // let go instead of staying down, firing, until the same key is pressed again.
    if (!read && j.reading) {
        uint8_t* keys = App.controls.keys;
        uint8_t released[256] = {};
        JoystickButtonsToKeys(j.buttons, released);
        for (int key = 0; key < 256; ++key)
            if (released[key] != 0) keys[key] = 0;
        j.buttons = 0;
    }
    j.reading = read;
    return read;
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
