// The game's own view of window input: what the platform turns its events into before
// anything else sees them. Keys are Windows virtual-key codes, the codes the game's key
// table is indexed by.
#pragma once

#include <cstdint>

namespace vk {
constexpr int Space = 0x20;
constexpr int PageUp = 0x21;
constexpr int PageDown = 0x22;
constexpr int End = 0x23;
constexpr int Home = 0x24;
constexpr int Left = 0x25;
constexpr int Up = 0x26;
constexpr int Right = 0x27;
constexpr int Down = 0x28;
constexpr int Escape = 0x1B;
constexpr int Digit0 = 0x30;  // '0'..'9' are 0x30..0x39
constexpr int A = 0x41;       // letters are their upper-case ASCII codes
constexpr int P = 0x50;
constexpr int Q = 0x51;
constexpr int Z = 0x5A;
constexpr int F1 = 0x70;
}  // namespace vk

enum class InputEventType : uint8_t {
    None,
    KeyDown,       // key: virtual-key code; x: KeyRepeated for the keyboard's auto-repeat
    KeyUp,         // key: virtual-key code
    MouseMove,     // x, y: cursor position in window pixels from the top-left corner
    ButtonDown,    // left mouse button
    ButtonUp,
    CloseRequest,  // the window manager asked the game window to close
};

// A key-down's x when the keyboard repeats a held key rather than a new press.
constexpr int KeyRepeated = 1;

struct InputEvent {
    InputEventType type;
    int key;
    int x, y;
};

// Takes at most one pending event from the queue. Returns false when there is none.
// Events the game does not use come back as type None.
bool PlatformPollEvent(InputEvent& event);
// Waits up to timeoutMs for an event to arrive without taking it from the queue.
void PlatformWaitForEvent(int timeoutMs);
