#include "core/controls.h"

void KeysRead(ControlState& c) {
    for (int key = 0; key < 256; ++key) {
        if (c.releaseDue[key] != 0) c.keys[key] = 0;
        c.releaseDue[key] = 0;
        c.unread[key] = 0;
    }
}
