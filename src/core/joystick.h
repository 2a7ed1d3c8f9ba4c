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

// The joystick's buttons drive seven keys, set or cleared on every reading: bit 0 Left,
// 1 Down, 2 Right, 3 Up, 4 Space, 5 'A', 7 'Z'. Bit 6 and bits above 7 are ignored.
void JoystickButtonsToKeys(uint32_t buttons, uint8_t keys[256]);
