#include "app/settings_file.h"

#include <cstdio>
#include <cstring>

#include "core/game_app.h"
#include "core/services.h"
#include "platform/profile_file.h"
#include "platform/user_folders.h"

namespace {

const char Section[] = "Game";

// game.ini lives in the media folder. A system-wide install cannot write there, and the
// choices would be lost at every exit: then the player's configuration folder holds the
// file instead. Until the player has saved there, the media folder's file is read: the
// defaults a packager ships, or the settings saved before the folder became read-only.
// forWriting creates the configuration folder.
void SettingsPath(char* path, bool forWriting) {
    std::snprintf(path, PathBufferSize, "%s", "game.ini");
    MediaPathInPlace(path);
    char folder[PathBufferSize];
    std::snprintf(folder, sizeof folder, "%s", path);
    char* slash = std::strrchr(folder, '/');
    if (slash != nullptr) *slash = '\0';
    if (PlatformFolderWritable(folder)) return;

    char config[PathBufferSize];
    if (!PlatformUserConfigFolder(config, sizeof config, "kelvane")) return;
    char moved[PathBufferSize];
    // A configuration path too long for the buffer leaves the media folder's path.
    if (std::snprintf(moved, sizeof moved, "%s/game.ini", config) >= static_cast<int>(sizeof moved)) return;
    if (forWriting) {
        PlatformMakeFolders(config);
    } else {
        std::FILE* saved = std::fopen(moved, "rb");
        if (saved == nullptr) return;
        std::fclose(saved);
    }
    std::snprintf(path, PathBufferSize, "%s", moved);
}

}  // namespace

void KeepUsableWindowSize(Settings& s) {
    if (s.Width <= 0 || s.Height <= 0 || s.Width > MaxWindowSide || s.Height > MaxWindowSide) {
        s.Width = DefaultWidth;
        s.Height = DefaultHeight;
    }
}

void LoadSettings() {
    char path[PathBufferSize];
    SettingsPath(path, false);
    Settings& s = App.settings;
    s.Windowed = ProfileReadInt(path, Section, "Windowed", 1);
    s.Lights = ProfileReadInt(path, Section, "Lights", 0);
    s.Music = ProfileReadInt(path, Section, "Music", 0);
    s.Joystick = ProfileReadInt(path, Section, "Joystick", 0);
    s.UseHiQualTex = ProfileReadInt(path, Section, "UseHiQualTex", 0);
    s.Width = ProfileReadInt(path, Section, "Width", DefaultWidth);
    s.Height = ProfileReadInt(path, Section, "Height", DefaultHeight);
    s.UseScreenRes = ProfileReadInt(path, Section, "UseScreenRes", 0);
    // On unless the player turned them off: a player who cannot hear the briefings would
    // otherwise never learn the mission's task.
    s.Captions = ProfileReadInt(path, Section, "Captions", 1);
    // A zero size would divide by zero in the projection and the mouse mapping, and a
    // huge one cannot be a window: either way the file was damaged.
    KeepUsableWindowSize(s);
}

void SaveSettings() {
    char path[PathBufferSize];
    SettingsPath(path, true);
    const Settings& s = App.settings;
    const char* const keys[] = {"Windowed", "Lights", "Music", "Joystick",
                                "UseHiQualTex", "Width", "Height", "UseScreenRes", "Captions"};
    const int values[] = {s.Windowed, s.Lights, s.Music, s.Joystick,
                          s.UseHiQualTex, s.Width, s.Height, s.UseScreenRes, s.Captions};
    constexpr int Count = sizeof keys / sizeof keys[0];
    char text[Count][16];
    ProfileEntry entries[Count];
    for (int i = 0; i < Count; ++i) {
        std::snprintf(text[i], sizeof text[i], "%i", values[i]);
        entries[i] = {keys[i], text[i]};
    }
    // One replacement of the file for all the keys: a crash while saving leaves either the
    // old settings or the new ones, never a mixture. A failed save leaves the old file as it
    // was; the player is told the choices were not kept.
    if (!ProfileWriteStrings(path, Section, entries, Count)) ShowError("Unable to save the settings file:", path);
}

void SaveSettingsIfChanged() {
    if (App.settings.dirty) SaveSettings();
}
