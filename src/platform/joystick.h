// The first joystick, read by polling.
#pragma once

#include <cstdint>

// Opens the first joystick that is not a pad (pads go through the game-controller layer
// once it is started) and gives the ranges of its X and Y axes. False when there is none; a
// device with fewer than two axes reports empty ranges.
bool PlatformOpenJoystick(int32_t& xMin, int32_t& xMax, int32_t& yMin, int32_t& yMax);
// Reads the open joystick: X and Y positions and button n in bit n. False when no
// joystick is open or it was unplugged.
bool PlatformReadJoystick(int32_t& x, int32_t& y, uint32_t& buttons);
void PlatformCloseJoystick();

// A software flight stick for tests and replays: attaches a device with the given number of
// axes and buttons (it becomes the first joystick when no other is plugged in), sets its
// state, and removes it again.
bool PlatformAttachVirtualJoystick(int axes, int buttons);
void PlatformSetVirtualJoystick(int32_t x, int32_t y, uint32_t buttons);
void PlatformDetachVirtualJoystick();
