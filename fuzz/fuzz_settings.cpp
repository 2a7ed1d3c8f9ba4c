// game.ini: the game's settings loading on any bytes (the file read through the media
// folder, as at start-up), then the save the launcher makes, which must read back exactly.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "core/game_app.h"
#include "core/services.h"
#include "app/settings_file.h"
#include "platform/profile_file.h"

namespace {

// A scratch media folder holding only game.ini, removed at exit; in memory when /dev/shm
// exists, since every save syncs the file to disk.
struct ScratchFolder {
    std::string path;
    ScratchFolder() {
        char shm[] = "/dev/shm/kelvane-fuzz-ini-XXXXXX";
        char tmp[] = "/tmp/kelvane-fuzz-ini-XXXXXX";
        if (mkdtemp(shm) != nullptr) path = shm;
        else if (mkdtemp(tmp) != nullptr) path = tmp;
    }
    ~ScratchFolder() {
        if (path.empty()) return;
        unlink((path + "/game.ini").c_str());
        rmdir(path.c_str());
    }
};

bool UsableSide(int side) { return side > 0 && side <= MaxWindowSide; }

bool SameSettings(const Settings& a, const Settings& b) {
    return a.Windowed == b.Windowed && a.Lights == b.Lights && a.Music == b.Music &&
           a.Joystick == b.Joystick && a.UseHiQualTex == b.UseHiQualTex && a.Width == b.Width &&
           a.Height == b.Height && a.UseScreenRes == b.UseScreenRes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static ScratchFolder scratch;
    const std::string& folder = scratch.path;
    if (folder.empty()) return 0;
    const std::string path = folder + "/game.ini";
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    SetMediaFolderOverride(folder.c_str());
    App.settings = Settings{};
    LoadSettings();
    if (!UsableSide(App.settings.Width) || !UsableSide(App.settings.Height)) __builtin_trap();

    // Whatever the old file held, what the launcher saves must load back unchanged.
    const Settings loaded = App.settings;
    App.settings.Width = 800;
    App.settings.Lights = loaded.Lights ^ 1;
    const Settings saved = App.settings;
    SaveSettings();
    App.settings = Settings{};
    LoadSettings();
    if (!SameSettings(App.settings, saved)) __builtin_trap();
    SetMediaFolderOverride(nullptr);
    return 0;
}
