// The launcher's window: a splash picture behind a strip of options and a Start button.
#pragma once

#include <cstdint>

// What the launcher's controls show and, after Start, what the player chose.
struct LauncherChoices {
    int windowed;    // check boxes: non-zero shows checked; Start stores 0 or 1
    int lights;
    int music;
    int joystick;
    int hiQualTex;
    int resolution;  // drop-down item 0..3; anything else shows no item and reads back -1
    int captions;    // check box on the second row, under "Rez"
};

constexpr int LauncherResolutionCount = 4;
extern const char* const LauncherResolutionItems[LauncherResolutionCount];

// Shows the launcher (640 x 480, titled title) until Start or the window is closed.
// splash holds width x height pixels of blue, green, red, x, top row first, stretched
// over the whole window; null shows an empty background. Returns true for Start, with
// choices read back from the controls; false when the window was closed (choices are
// left alone) or could not be opened.
bool PlatformRunLauncher(const char* title, LauncherChoices& choices, const uint8_t* splash,
                         int width, int height);
