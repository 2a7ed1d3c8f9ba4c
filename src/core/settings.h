// The launcher's options as the game holds them while it runs (app/settings_file.h reads
// and writes them in game.ini).
#pragma once

struct Settings {
    bool dirty = false;   // set by Start: the file is written at exit only then
    int Windowed = 1;     // 0 = full screen
    int Lights = 1;       // the file's default is 0; the launcher reads the file first
    int Music = 0;        // 0 = the tune stops when the first mission starts
    int Joystick = 0;
    int Width = 640;
    int Height = 480;
    int UseHiQualTex = 0;
    int UseScreenRes = 0;  // launcher resolution item 0..3; 3 = the desktop's size
    int Captions = 1;      // non-zero = every spoken text is also shown at the frame's bottom
};

// The size used when game.ini holds none or an unusable one.
constexpr int DefaultWidth = 640;
constexpr int DefaultHeight = 480;
// Larger than any display: a size beyond it is a damaged file, not a choice.
constexpr int MaxWindowSide = 16384;
