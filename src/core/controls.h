// All input ends up here: key states indexed by virtual-key code and the stick position.
#pragma once

#include <cstdint>

#include "platform/input_event.h"

struct ControlState {
    uint8_t keys[256];  // 1 while the key is down, and for a tap until a frame has read it
    float stickX;       // -1 at the window's left edge .. +1 at its right edge
    float stickY;       // -1 at the top edge .. +1 at the bottom edge
    // A press that no frame has read yet: a release that comes before the next frame would
    // lose it (a tap from an on-screen keyboard, a remote desktop or a quick finger), so
    // such a release waits in releaseDue until the frame has read the keys.
    uint8_t unread[256];
    uint8_t releaseDue[256];
};

// Called when a frame has read the keys: the taps it saw are released now.
void KeysRead(ControlState& controls);
