// The launcher's options, kept in game.ini (section "Game") in the media folder; when the
// media folder is read-only (a system-wide install), in $XDG_CONFIG_HOME/kelvane/game.ini
// (~/.config/kelvane/ by default) instead; until one is saved there, the media folder's
// file is still read.
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

// A Width or Height that is not positive or over MaxWindowSide cannot be a window (and is
// divided by): both fall back to 640 x 480.
void KeepUsableWindowSize(Settings& s);

// Reads game.ini into App.settings; a missing file or key gives the file defaults
// (Windowed 1, Captions 1, everything else off, 640 x 480, resolution item 0).
void LoadSettings();
// Writes the keys of App.settings into game.ini; a failed write is reported with
// the file's path (ShowError) and leaves the old file as it was.
void SaveSettings();
// SaveSettings when Start was pressed in this run.
void SaveSettingsIfChanged();
