#include "platform/message_box.h"

#include <SDL.h>

#include <cstdlib>

bool PlatformMessageBox(const char* caption, const char* text) {
    // Without an X display SDL would fail anyway; skip straight to the fallback.
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if ((display == nullptr || display[0] == '\0') && (wayland == nullptr || wayland[0] == '\0'))
        return false;
    return SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, caption, text, nullptr) == 0;
}
