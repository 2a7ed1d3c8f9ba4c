#include "platform/window.h"

#include <SDL.h>

#include <cstdio>

struct PlatformWindow {
    SDL_Window* window;
    SDL_GLContext context;
    bool fullScreen;
    int depthBits;
};

namespace {

bool StartVideo() {
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) return true;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "SDL video: %s\n", SDL_GetError());
        return false;
    }
    return true;
}

void RequestAttributes(int depthBits) {
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    // 16 colour bits are enough; the system gives at least that.
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 6);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depthBits);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
}

}  // namespace

PlatformWindow* PlatformCreateGLWindow(const char* title, int width, int height, bool fullScreen) {
    if (!StartVideo()) return nullptr;
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN;
    if (fullScreen) flags |= SDL_WINDOW_FULLSCREEN;

    // Ask for a 32-bit depth buffer; many systems offer only 24 or 16.
    static const int depthChoices[] = {32, 24, 16};
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    int depth = 0;
    for (int bits : depthChoices) {
        RequestAttributes(bits);
        window = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height, flags);
        if (window == nullptr) continue;
        context = SDL_GL_CreateContext(window);
        if (context != nullptr) {
            depth = bits;
            break;
        }
        SDL_DestroyWindow(window);
        window = nullptr;
    }
    if (window == nullptr || context == nullptr) {
        std::fprintf(stderr, "Cannot open the game window: %s\n", SDL_GetError());
        return nullptr;
    }
    if (fullScreen) {
        // The mode the window takes while it has the screen; SDL puts the desktop's mode
        // back when the window is destroyed.
        SDL_DisplayMode mode{};
        mode.w = width;
        mode.h = height;
        SDL_DisplayMode closest;
        int display = SDL_GetWindowDisplayIndex(window);
        if (SDL_GetClosestDisplayMode(display < 0 ? 0 : display, &mode, &closest) != nullptr)
            SDL_SetWindowDisplayMode(window, &closest);
    }
    int granted = 0;
    if (SDL_GL_GetAttribute(SDL_GL_DEPTH_SIZE, &granted) == 0 && granted > 0) depth = granted;
    // No waiting for the display's refresh: the frame loop paces the game at about 33
    // frames per second and everything moves by the frame, so a swap held to a 60 Hz
    // refresh (30 frames) or a 75 Hz one (25) would slow the whole game down.
    SDL_GL_SetSwapInterval(0);

    SDL_RaiseWindow(window);
    // The mouse is the stick: it starts in the middle, where it holds the aircraft as it
    // is, not wherever the launcher's Start button left it.
    SDL_WarpMouseInWindow(window, width / 2, height / 2);
    if (fullScreen) {
        SDL_ShowCursor(SDL_DISABLE);
    } else {
        SDL_SetWindowGrab(window, SDL_TRUE);
    }
    return new PlatformWindow{window, context, fullScreen, depth};
}

void PlatformDestroyGLWindow(PlatformWindow* w) {
    if (w == nullptr) return;
    if (w->fullScreen) {
        SDL_ShowCursor(SDL_ENABLE);
    } else {
        SDL_SetWindowGrab(w->window, SDL_FALSE);
    }
    SDL_GL_MakeCurrent(w->window, nullptr);
    SDL_GL_DeleteContext(w->context);
    SDL_DestroyWindow(w->window);  // leaves full screen and restores the desktop mode
    delete w;
}

void PlatformSwapWindow(PlatformWindow* w) {
    if (w != nullptr) SDL_GL_SwapWindow(w->window);
}

bool PlatformDesktopSize(int& width, int& height) {
    if (!StartVideo()) return false;
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return false;
    width = mode.w;
    height = mode.h;
    return true;
}

void PlatformWindowBounds(PlatformWindow* w, int& left, int& top, int& right, int& bottom) {
    left = top = right = bottom = 0;
    if (w == nullptr) return;
    int x = 0, y = 0, width = 0, height = 0;
    SDL_GetWindowPosition(w->window, &x, &y);
    SDL_GetWindowSize(w->window, &width, &height);
    left = x;
    top = y;
    right = x + width;
    bottom = y + height;
}

int PlatformDepthBits(PlatformWindow* w) { return w != nullptr ? w->depthBits : 0; }
