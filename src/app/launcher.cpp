#include "app/launcher.h"

#include <cstdint>

#include "core/game_app.h"
#include "core/services.h"
#include "app/settings_file.h"
#include "assets/texture_cache.h"
#include "platform/launcher_window.h"

void ResolutionSize(int index, int& width, int& height) {
    if (index < 1 || index == 3) {
        width = 640;
        height = 480;
    } else if (index == 1) {
        width = 800;
        height = 600;
    } else if (index == 2) {
        width = 1024;
        height = 800;  // not 768
    }
}

bool RunLauncher(const char* title) {
    LoadSettings();
    Settings& s = App.settings;
    // Working values: the controls change these, and only Start copies them back, so a
    // closed launcher leaves the settings as they were.
    LauncherChoices working{s.Windowed, s.Lights, s.Music, s.Joystick, s.UseHiQualTex, s.UseScreenRes,
                            s.Captions};
    int width = s.Width;
    int height = s.Height;

    int splashWidth = 0, splashHeight = 0;
    uint8_t* splash = LoadImagePixels("splash.jpg", splashHeight, splashWidth);
    if (splash == nullptr) {
        // Reported like any picture that failed to load; the launcher works without it.
        ShowError("Unable to load the texture file:", "splash.jpg");
        splashWidth = splashHeight = 0;  // nothing is painted
    }

    bool started = PlatformRunLauncher(title, working, splash, splashWidth, splashHeight);
    delete[] splash;

    if (started) {
        ResolutionSize(working.resolution, width, height);
        s.Windowed = working.windowed;
        s.Lights = working.lights;
        s.Music = working.music;
        s.Joystick = working.joystick;
        s.UseHiQualTex = working.hiQualTex;
        s.Width = width;
        s.Height = height;
        s.UseScreenRes = working.resolution;
        s.Captions = working.captions;
        s.dirty = true;
    }
    return started;
}
