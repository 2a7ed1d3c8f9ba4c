#include "app/settings.h"

#include <cstdio>

#include "app/game_app.h"
#include "app/services.h"
#include "platform/profile_file.h"

namespace {

const char Section[] = "Game";

void SettingsPath(char* path) {
    std::snprintf(path, PathBufferSize, "%s", "game.ini");
    MediaPathInPlace(path);
}

bool UsableSide(int side) { return side > 0 && side <= MaxWindowSide; }

}  // namespace

void LoadSettings() {
    char path[PathBufferSize];
    SettingsPath(path);
    Settings& s = App.settings;
    s.Windowed = ProfileReadInt(path, Section, "Windowed", 1);
    s.Lights = ProfileReadInt(path, Section, "Lights", 0);
    s.Music = ProfileReadInt(path, Section, "Music", 0);
    s.Joystick = ProfileReadInt(path, Section, "Joystick", 0);
    s.UseHiQualTex = ProfileReadInt(path, Section, "UseHiQualTex", 0);
    s.Width = ProfileReadInt(path, Section, "Width", DefaultWidth);
    s.Height = ProfileReadInt(path, Section, "Height", DefaultHeight);
    s.UseScreenRes = ProfileReadInt(path, Section, "UseScreenRes", 0);
    // A zero size would divide by zero in the projection and the mouse mapping, and a
    // huge one cannot be a window: either way the file was damaged.
    if (!UsableSide(s.Width) || !UsableSide(s.Height)) {
        s.Width = DefaultWidth;
        s.Height = DefaultHeight;
    }
}

void SaveSettings() {
    char path[PathBufferSize];
    SettingsPath(path);
    const Settings& s = App.settings;
    const char* const keys[] = {"Windowed", "Lights", "Music", "Joystick",
                                "UseHiQualTex", "Width", "Height", "UseScreenRes"};
    const int values[] = {s.Windowed, s.Lights, s.Music, s.Joystick,
                          s.UseHiQualTex, s.Width, s.Height, s.UseScreenRes};
    constexpr int Count = sizeof keys / sizeof keys[0];
    char text[Count][16];
    ProfileEntry entries[Count];
    for (int i = 0; i < Count; ++i) {
        std::snprintf(text[i], sizeof text[i], "%i", values[i]);
        entries[i] = {keys[i], text[i]};
    }
    // One replacement of the file for all the keys: a crash while saving leaves either the
    // old settings or the new ones, never a mixture.
    ProfileWriteStrings(path, Section, entries, Count);
}

void SaveSettingsIfChanged() {
    if (App.settings.dirty) SaveSettings();
}
