// Settings tests: the media folder points at a fresh folder, the player's configuration
// folder is a fresh one too, every test starts (and leaves) with freshly built settings,
// and error reports are captured (a failed save is reported).
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "core/game_app.h"
#include "core/services.h"
#include "app/settings_file.h"
#include "support/error_capture.h"
#include "support/temp_dir.h"

// Sets an environment variable for the object's lifetime and puts the old value back.
struct ScopedEnv {
    std::string name;
    bool had = false;
    std::string old;
    ScopedEnv(const char* n, const char* value) : name(n) {
        const char* v = std::getenv(n);
        had = v != nullptr;
        if (had) old = v;
        if (value != nullptr) setenv(n, value, 1);
        else unsetenv(n);
    }
    ~ScopedEnv() {
        if (had) setenv(name.c_str(), old.c_str(), 1);
        else unsetenv(name.c_str());
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;
};

struct SettingsFixture : ::testing::Test {
    TempDir media;
    TempDir config;
    ScopedEnv configEnv{"XDG_CONFIG_HOME", config.path.c_str()};
    ErrorCapture errors;
    void SetUp() override {
        SetMediaFolderOverride(media.path.c_str());
        App.settings = Settings{};
    }
    void TearDown() override {
        SetMediaFolderOverride(nullptr);
        App.settings = Settings{};
    }
    std::string Ini() const { return ReadFileBytes(media.File("game.ini")); }
};
