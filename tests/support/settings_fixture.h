// Settings tests: the media folder points at a fresh folder and every test starts (and
// leaves) with freshly built settings.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "app/game_app.h"
#include "app/services.h"
#include "app/settings.h"
#include "support/temp_dir.h"

struct SettingsFixture : ::testing::Test {
    TempDir media;
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
