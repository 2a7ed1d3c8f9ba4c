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

void WriteKey(const char* path, const char* key, int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%i", value);
    ProfileWriteString(path, Section, key, text);
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
    WriteKey(path, "Windowed", s.Windowed);
    WriteKey(path, "Lights", s.Lights);
    WriteKey(path, "Music", s.Music);
    WriteKey(path, "Joystick", s.Joystick);
    WriteKey(path, "UseHiQualTex", s.UseHiQualTex);
    WriteKey(path, "Width", s.Width);
    WriteKey(path, "Height", s.Height);
    WriteKey(path, "UseScreenRes", s.UseScreenRes);
}

void SaveSettingsIfChanged() {
    if (App.settings.dirty) SaveSettings();
}
