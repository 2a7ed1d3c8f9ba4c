#include "platform/joystick.h"

#include <SDL.h>

namespace {

SDL_Joystick* openJoystick = nullptr;
int virtualIndex = -1;
SDL_Joystick* virtualHandle = nullptr;  // kept open so its state can be set

bool StartJoystickSubsystem() {
    if (SDL_WasInit(SDL_INIT_JOYSTICK) != 0) return true;
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) return false;
    // The game polls; queued joystick events would only pile up unread.
    SDL_JoystickEventState(SDL_IGNORE);
    return true;
}

}  // namespace

bool PlatformOpenJoystick(int32_t& xMin, int32_t& xMax, int32_t& yMin, int32_t& yMax) {
    xMin = xMax = yMin = yMax = 0;
    if (!StartJoystickSubsystem()) return false;
    PlatformCloseJoystick();
    // A pad goes through the game-controller layer; this is the path of flight sticks and
    // other devices SDL has no pad mapping for.
    bool padsTaken = SDL_WasInit(SDL_INIT_GAMECONTROLLER) != 0;
    for (int i = 0; i < SDL_NumJoysticks() && openJoystick == nullptr; ++i) {
        if (padsTaken && SDL_IsGameController(i) == SDL_TRUE) continue;
        openJoystick = SDL_JoystickOpen(i);
    }
    if (openJoystick == nullptr) return false;
    int axes = SDL_JoystickNumAxes(openJoystick);
    // SDL reports every axis over -32768..32767.
    if (axes >= 1) {
        xMin = -32768;
        xMax = 32767;
    }
    if (axes >= 2) {
        yMin = -32768;
        yMax = 32767;
    }
    return true;
}

bool PlatformReadJoystick(int32_t& x, int32_t& y, uint32_t& buttons) {
    if (openJoystick == nullptr) return false;
    SDL_JoystickUpdate();
    if (SDL_JoystickGetAttached(openJoystick) == SDL_FALSE) return false;
    x = SDL_JoystickGetAxis(openJoystick, 0);
    y = SDL_JoystickGetAxis(openJoystick, 1);
    buttons = 0;
    int count = SDL_JoystickNumButtons(openJoystick);
    if (count > 32) count = 32;
    for (int n = 0; n < count; ++n)
        if (SDL_JoystickGetButton(openJoystick, n) != 0) buttons |= 1u << n;
    return true;
}

void PlatformCloseJoystick() {
    // SDL counts opens of one device, so this balances the open even when the handle is
    // the same as the virtual joystick's.
    if (openJoystick != nullptr) SDL_JoystickClose(openJoystick);
    openJoystick = nullptr;
}

bool PlatformAttachVirtualJoystick(int axes, int buttons) {
    if (!StartJoystickSubsystem()) return false;
    PlatformDetachVirtualJoystick();
    virtualIndex = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_FLIGHT_STICK, axes, buttons, 0);
    if (virtualIndex < 0) return false;
    virtualHandle = SDL_JoystickOpen(virtualIndex);
    return virtualHandle != nullptr;
}

void PlatformSetVirtualJoystick(int32_t x, int32_t y, uint32_t buttons) {
    if (virtualHandle == nullptr) return;
    int axes = SDL_JoystickNumAxes(virtualHandle);
    if (axes >= 1) SDL_JoystickSetVirtualAxis(virtualHandle, 0, static_cast<Sint16>(x));
    if (axes >= 2) SDL_JoystickSetVirtualAxis(virtualHandle, 1, static_cast<Sint16>(y));
    int count = SDL_JoystickNumButtons(virtualHandle);
    if (count > 32) count = 32;
    for (int n = 0; n < count; ++n)
        SDL_JoystickSetVirtualButton(virtualHandle, n, (buttons >> n) & 1u ? SDL_PRESSED : SDL_RELEASED);
}

void PlatformDetachVirtualJoystick() {
    // A handle the game still holds stays open and reads as unplugged.
    if (virtualHandle != nullptr) {
        SDL_JoystickClose(virtualHandle);
        virtualHandle = nullptr;
    }
    if (virtualIndex >= 0) {
        SDL_JoystickDetachVirtual(virtualIndex);
        virtualIndex = -1;
    }
}
