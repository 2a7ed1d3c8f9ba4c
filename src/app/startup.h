// The game's start-up and shutdown, each in one place. Under KELVANE_TRACE every step is
// traced as "kelvane: start <step>" or "kelvane: stop <step>", in the order it runs.
#pragma once

// From the process's start to the first frame: the long-lived objects that need work
// (the MIDI player), the tune, the launcher and the game window, the assets. False when
// the player closed the launcher or no window could be made: the frame loop is skipped.
bool StartUp();
// Everything StartUp acquired, released once, also after a StartUp that failed (objects
// never loaded tear down as empty).
void ShutDown();
