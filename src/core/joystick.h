// The stick and its buttons, read once per drawn frame: a pad when one is plugged in (it
// may come and go during play), else the first joystick when the Joystick option is on.
#pragma once

#include <cstdint>

struct Joystick {
    unsigned id;          // always 0: the first joystick
    bool present;         // the device exists and has usable X and Y ranges
    float x, y;           // last X and Y scaled to -1..1
    uint32_t buttons;     // bit n = button n + 1
    int32_t xMin, xMax;   // axis ranges of the device
    int32_t yMin, yMax;
    bool reading;             // the last poll gave a reading, from a pad or the joystick
    bool padInUse;            // it came from a pad
    uint32_t padHeld;         // the pad's bits held then, before the throttle's stepping
    float nextThrottleStep;   // Seconds() when a held throttle shoulder steps again
};

// The player's own pad mappings: this file in the configuration folder.
constexpr const char PadMappingFile[] = "gamecontrollerdb.txt";
// A pad's stick: each axis has this dead zone, the rest rescaled to the full -1..1.
constexpr float PadDeadZone = 0.15f;
// A held throttle shoulder steps once on the press, then once more every this many
// seconds: stepping every frame would run from idle to full in a third of a second.
constexpr float PadThrottleRepeat = 0.3f;

// Starts the pads with the player's own mappings, if any (a bad line is reported).
void StartPads();
bool InitJoystick();
bool PollJoystick();
float PadStickAxis(float value);

// The joystick's buttons drive seven keys, set or cleared on every reading: bit 0 Left,
// 1 Down, 2 Right, 3 Up, 4 Space, 5 'A', 7 'Z'. Bit 6 and bits above 7 are ignored.
void JoystickButtonsToKeys(uint32_t buttons, uint8_t keys[256]);
