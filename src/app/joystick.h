// The first joystick, read once per drawn frame when the Joystick option is on.
#pragma once

#include <cstdint>

struct Joystick {
    unsigned id;          // always 0: the first joystick
    bool present;         // the device exists and has usable X and Y ranges
    float x, y;           // last X and Y scaled to -1..1
    uint32_t buttons;     // bit n = button n + 1
    int32_t xMin, xMax;   // axis ranges of the device
    int32_t yMin, yMax;
};

bool InitJoystick();
bool PollJoystick();
