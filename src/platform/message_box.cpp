#include "platform/message_box.h"

#include <FL/Fl.H>
#include <FL/fl_ask.H>
#include <FL/x.H>
#include <SDL.h>

#include <cstdlib>

namespace {

// FLTK ends the process when it cannot reach the display; open it first so that a missing
// display is an ordinary failure (the caller then prints the text instead).
bool OpenFltkDisplay() {
    if (fl_display != nullptr) return true;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return false;
    fl_open_display(display);
    return true;
}

// The game window holds the pointer: confined to it when windowed, hidden in full screen,
// or captured in relative mode. The player could not reach the box's button, so the
// pointer is let go while the box is up and taken back once it is closed.
struct PointerRelease {
    SDL_Window* grabbed = nullptr;
    bool relative = false;
    bool hidden = false;

    PointerRelease() {
        if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return;
        relative = SDL_GetRelativeMouseMode() == SDL_TRUE;
        if (relative) SDL_SetRelativeMouseMode(SDL_FALSE);
        grabbed = SDL_GetGrabbedWindow();
        if (grabbed != nullptr) SDL_SetWindowGrab(grabbed, SDL_FALSE);
        hidden = SDL_ShowCursor(SDL_QUERY) == SDL_DISABLE;
        if (hidden) SDL_ShowCursor(SDL_ENABLE);
    }
    ~PointerRelease() {
        if (hidden) SDL_ShowCursor(SDL_DISABLE);
        if (grabbed != nullptr) SDL_SetWindowGrab(grabbed, SDL_TRUE);
        if (relative) SDL_SetRelativeMouseMode(SDL_TRUE);
    }
    PointerRelease(const PointerRelease&) = delete;
    PointerRelease& operator=(const PointerRelease&) = delete;
};

}  // namespace

bool PlatformMessageBox(const char* caption, const char* text) {
    // The box is drawn by the launcher's toolkit with the launcher's own (client-side) fonts:
    // it shows wherever the launcher does, whatever fonts the X server has.
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || display[0] == '\0') return false;
    if (!OpenFltkDisplay()) return false;
    {
        PointerRelease release;
        fl_message_title(caption);
        fl_close = "OK";  // the box's one button, as on every other desktop's error box
        fl_message("%s", text);
    }
    // Let the server see the box go before the game draws its next frame.
    Fl::check();
    XSync(fl_display, False);
    return true;
}
