// All input ends up here: key states indexed by virtual-key code and the stick position.
#pragma once

#include <cstdint>

#include "platform/input_event.h"

struct ControlState {
    uint8_t keys[256];  // 1 while the key is down
    float stickX;       // -1 at the window's left edge .. +1 at its right edge
    float stickY;       // -1 at the top edge .. +1 at the bottom edge
};
