// Pads (Xbox, PlayStation, Steam Deck and the like) through SDL's game-controller layer:
// whatever the driver numbers its buttons, A is A and the left stick is the left stick.
// The first pad plugged in is the one in use; it may come and go during play.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/input_event.h"

// Starts the pad layer. Pads that SDL's own mapping database knows work from here on, and
// so do the mappings in SDL_GAMECONTROLLERCONFIG. False when the layer cannot start.
bool PlatformStartPads();

// Adds the player's own mappings: one per line in SDL's "GUID,name,bindings" format; blank
// lines and lines starting with # are skipped. Returns how many lines SDL refused, with
// the first of them (counted from 1) in firstBadLine, 0 when none.
int PlatformAddPadMappings(const char* text, size_t size, int& firstBadLine);

// The game's joystick button bits a pad holds down: the d-pad on the nudges, A and the
// right trigger on fire, the shoulders on the throttle.
constexpr uint32_t PadBitLeft = 1u << 0;
constexpr uint32_t PadBitDown = 1u << 1;
constexpr uint32_t PadBitRight = 1u << 2;
constexpr uint32_t PadBitUp = 1u << 3;
constexpr uint32_t PadBitFire = 1u << 4;
constexpr uint32_t PadBitThrottleUp = 1u << 5;
constexpr uint32_t PadBitThrottleDown = 1u << 7;

// Reads the pad in use now: the left stick over -1..1 as the pad reports it (no dead
// zone; -1 is left and pushed forward) and the bits above. False when no pad is plugged
// in.
bool PlatformReadPad(float& x, float& y, uint32_t& buttons);

// Called by the event pump: finds a pad plugged in and lets go of one pulled out, and turns
// the pad's other buttons into the keys they stand for (Y Home, X Page Down, B End, the
// left stick's click Page Up, Start P, Back Escape, the right stick's click and Guide F1).
// A press queues a key-down, a release (or the pad pulled out) the key-up.
void PlatformServicePads();
// Takes the oldest queued pad key event; false when none is waiting.
bool PlatformTakePadEvent(InputEvent& event);
bool PlatformPadEventWaiting();

// For the launcher, which has no game keys: Start once A is let go after a press, Quit
// once Back is, or when the process is asked to end (Ctrl+C, a termination request). The
// pad's keys are not queued for the game meanwhile.
enum class PadCommand { None, Start, Quit };
PadCommand PlatformLauncherPadCommand();
