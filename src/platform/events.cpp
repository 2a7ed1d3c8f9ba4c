#include <SDL.h>

#include "platform/game_controller.h"
#include "platform/input_event.h"

namespace {

// SDL keys to the virtual-key codes the game uses; 0 for keys it has no code for. Letters
// follow the keyboard layout, as virtual-key letters do. The digit row is taken by its
// position: on layouts whose digit row types symbols (AZERTY types & é " ...), the row
// still gives '1' to '0', as the virtual-key codes do. The numeric keypad's digits pick
// the throttle presets too, for players who fly with their right hand on the keypad.
int VirtualKey(const SDL_Keysym& keysym) {
    if (keysym.scancode >= SDL_SCANCODE_1 && keysym.scancode <= SDL_SCANCODE_9)
        return '1' + (keysym.scancode - SDL_SCANCODE_1);
    if (keysym.scancode == SDL_SCANCODE_0) return '0';
    const SDL_Keycode key = keysym.sym;
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return '1' + (key - SDLK_KP_1);
    switch (key) {
        case SDLK_KP_0: return '0';
        case SDLK_SPACE: return vk::Space;
        case SDLK_ESCAPE: return vk::Escape;
        case SDLK_PAGEUP: return vk::PageUp;
        case SDLK_PAGEDOWN: return vk::PageDown;
        case SDLK_END: return vk::End;
        case SDLK_HOME: return vk::Home;
        case SDLK_LEFT: return vk::Left;
        case SDLK_UP: return vk::Up;
        case SDLK_RIGHT: return vk::Right;
        case SDLK_DOWN: return vk::Down;
        case SDLK_RETURN: return 0x0D;
        case SDLK_TAB: return 0x09;
        case SDLK_BACKSPACE: return 0x08;
        case SDLK_F1: return vk::F1;
        default: return 0;
    }
}

}  // namespace

bool PlatformPollEvent(InputEvent& event) {
    event = InputEvent{InputEventType::None, 0, 0, 0};
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return false;
    // The pad's buttons that stand for keys come as key events, ahead of the window's.
    PlatformServicePads();
    if (PlatformTakePadEvent(event)) return true;
    SDL_Event e;
    if (SDL_PollEvent(&e) == 0) return false;
    switch (e.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            int code = VirtualKey(e.key.keysym);
            if (code != 0) {
                event.type = e.type == SDL_KEYDOWN ? InputEventType::KeyDown : InputEventType::KeyUp;
                event.key = code;
                if (e.type == SDL_KEYDOWN && e.key.repeat != 0) event.x = KeyRepeated;
            }
            break;
        }
        case SDL_MOUSEMOTION:
            event.type = InputEventType::MouseMove;
            event.x = e.motion.x;
            event.y = e.motion.y;
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            if (e.button.button == SDL_BUTTON_LEFT) {
                event.type = e.type == SDL_MOUSEBUTTONDOWN ? InputEventType::ButtonDown
                                                           : InputEventType::ButtonUp;
                event.x = e.button.x;
                event.y = e.button.y;
            }
            break;
        case SDL_QUIT:
            event.type = InputEventType::CloseRequest;
            break;
        case SDL_WINDOWEVENT:
            if (e.window.event == SDL_WINDOWEVENT_CLOSE) event.type = InputEventType::CloseRequest;
            break;
        default:
            break;
    }
    return true;
}

void PlatformWaitForEvent(int timeoutMs) {
    if (PlatformPadEventWaiting()) return;
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) {
        SDL_Delay(static_cast<Uint32>(timeoutMs > 0 ? timeoutMs : 0));
        return;
    }
    SDL_WaitEventTimeout(nullptr, timeoutMs);
}
