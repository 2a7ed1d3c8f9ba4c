// What passes between the game and the pilot's mind, a process of its own: the game's side
// (tools/pilot/harness.cpp) writes what a person at the window would see and hear, the
// mind answers with what its hands do. Nothing else crosses: no positions, no distances, no
// depth, no object names. Both ends run in lock step, one look and one answer at a time, so
// a flight is the same every time it is flown.
//
// On the mind's standard input: one Hello, then Looks until the flight ends (a Look whose
// `ended` is set). On its standard output: one Hands after every Look.
//
// This header may include only the C++ standard library: the mind includes it.
#pragma once

#include <cstdint>

namespace senses {

// The window, as the game draws it by default.
constexpr int Width = 640;
constexpr int Height = 480;
constexpr int FrameBytes = Width * Height * 3;

constexpr uint32_t HelloMagic = 0x4f4c4548;  // "HELO"
constexpr uint32_t LookMagic = 0x4b4f4f4c;   // "LOOK"
constexpr uint32_t HandsMagic = 0x53444e48;  // "HNDS"

// What the briefing told the player before the flight: which mission it is (0 Zeppelin,
// 1 Tank, 2 Vornhald). `person` seeds the mind's own choices (none of the game's).
struct Hello {
    uint32_t magic = HelloMagic;
    int32_t mission = 0;
    uint32_t person = 0;
    int32_t log = 0;  // the mind may say what it thinks, on its standard error
};

// Hearing as a person has it: how loud each ear is over the last tenth of a second, in
// decibels below full scale rounded to 2 dB (Silent below -90), and the loudest pitch as a
// semitone number (69 is the A of 440 Hz; -1 when silent).
constexpr int16_t Silent = -100;

struct Look {
    uint32_t magic = LookMagic;
    int32_t ended = 0;   // the flight is over: no answer is read
    int32_t timeMs = 0;  // the game's clock since the flight began
    int16_t leftDb = Silent, rightDb = Silent;
    int16_t pitch = -1;
    int16_t pad = 0;
    // The frame the game drew: rows from the top, three bytes (red, green, blue) a pixel.
    uint8_t rgb[FrameBytes];
};

// The keys a player uses, held while their bit is set.
enum Key : uint32_t {
    KeySpace = 1u << 0,        // fire; ends the briefing
    KeyDigit0 = 1u << 1,       // KeyDigit0 << n is the digit n: throttle presets
    KeyA = 1u << 11,           // throttle up a step
    KeyZ = 1u << 12,           // throttle down a step
    KeyHome = 1u << 13,        // pilot's view
    KeyPageUp = 1u << 14,      // delayed pilot's view
    KeyPageDown = 1u << 15,    // target view
    KeyEnd = 1u << 16,         // rear view
    KeyLeft = 1u << 17,
    KeyRight = 1u << 18,
    KeyUp = 1u << 19,
    KeyDown = 1u << 20,
    MouseButton = 1u << 21,    // fire
};
constexpr int KeyCount = 22;

// The mind's answer to one look. The hand goes toward `pointerX, pointerY` (the window's
// pixels from its top-left corner); the game side moves it a person's way: late, at a
// limited speed, on whole pixels, with a tremor.
struct Hands {
    uint32_t magic = HandsMagic;
    int32_t pointerX = Width / 2, pointerY = Height / 2;
    uint32_t keys = 0;
    // Where in this look's frame the mind sees its target, when it says it does; the game
    // side checks the pixel against the target as drawn.
    int32_t seen = 0;
    int32_t seenX = 0, seenY = 0;
    // Once a second: where the mind believes the aircraft is and where home lies, on the map
    // a player is given (x east, z north, in the game's units); logged against the truth.
    int32_t belief = 0;
    float believedX = 0, believedZ = 0, homeX = 0, homeZ = 0;
};

}  // namespace senses
