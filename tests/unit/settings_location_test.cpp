// Where game.ini lives: beside the media when that folder takes files, in the player's
// configuration folder when it does not (a system-wide install).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/game_app.h"
#include "core/services.h"
#include "app/settings_file.h"
#include "support/settings_fixture.h"
#include "support/temp_dir.h"

namespace {

struct SettingsLocation : ::testing::Test {
    TempDir root;
    std::string config = root.File("config");
    std::string home = root.File("home");
    ScopedEnv xdg{"XDG_CONFIG_HOME", config.c_str()};
    ScopedEnv homeEnv{"HOME", home.c_str()};
    void TearDown() override {
        SetMediaFolderOverride(nullptr);
        App.settings = Settings{};
    }
    // The game's choices of a run that pressed Start with 800x600.
    static void Choose800x600() {
        App.settings = Settings{};
        App.settings.Width = 800;
        App.settings.Height = 600;
        App.settings.UseScreenRes = 1;
        App.settings.dirty = true;
    }
    static void ExpectReadBack800x600() {
        App.settings = Settings{};
        LoadSettings();
        EXPECT_EQ(App.settings.Width, 800);
        EXPECT_EQ(App.settings.Height, 600);
        EXPECT_EQ(App.settings.UseScreenRes, 1);
    }
};

}  // namespace

TEST_F(SettingsLocation, AWritableMediaFolderKeepsGameIniBesideTheMedia) {
    std::filesystem::create_directories(root.File("media"));
    SetMediaFolderOverride(root.File("media").c_str());
    Choose800x600();
    SaveSettingsIfChanged();
    EXPECT_NE(ReadFileBytes(root.File("media/game.ini")).find("Width=800"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(config)) << "nothing goes to the configuration folder";
    ExpectReadBack800x600();
}

TEST_F(SettingsLocation, AMediaFolderThatTakesNoFilesMovesGameIniToTheConfigFolder) {
    // A media folder nobody can create files in, not even root: its parent is a file.
    root.Write("readonly", "");
    SetMediaFolderOverride(root.File("readonly/media").c_str());

    // Nothing saved yet: the defaults, and reading creates nothing.
    App.settings.Width = 1;
    LoadSettings();
    EXPECT_EQ(App.settings.Width, 640);
    EXPECT_FALSE(std::filesystem::exists(config));

    Choose800x600();
    SaveSettingsIfChanged();
    const std::string ini = ReadFileBytes(config + "/kelvane/game.ini");
    EXPECT_NE(ini.find("[Game]"), std::string::npos) << ini;
    EXPECT_NE(ini.find("Width=800"), std::string::npos) << ini;
    EXPECT_NE(ini.find("Height=600"), std::string::npos) << ini;
    ExpectReadBack800x600();

    // Without XDG_CONFIG_HOME (or with a relative one, which does not count), ~/.config.
    {
        ScopedEnv relative("XDG_CONFIG_HOME", "relative/config");
        Choose800x600();
        SaveSettingsIfChanged();
        EXPECT_TRUE(std::filesystem::exists(home + "/.config/kelvane/game.ini"));
    }
    {
        ScopedEnv unset("XDG_CONFIG_HOME", nullptr);
        std::filesystem::remove(home + "/.config/kelvane/game.ini");
        Choose800x600();
        SaveSettingsIfChanged();
        EXPECT_TRUE(std::filesystem::exists(home + "/.config/kelvane/game.ini"));
        ExpectReadBack800x600();
    }
}

TEST_F(SettingsLocation, AWriteProtectedMediaFolderMovesGameIniToTheConfigFolder) {
    if (geteuid() == 0) GTEST_SKIP() << "root writes into write-protected folders";
    std::filesystem::create_directories(root.File("media"));
    // The game.ini in the media folder (a packager's defaults, or the settings saved before
    // the folder became read-only) is read until the player has saved one; then that wins.
    root.Write("media/game.ini", "[Game]\nWidth=1024\nHeight=800\n");
    chmod(root.File("media").c_str(), 0555);
    SetMediaFolderOverride(root.File("media").c_str());
    LoadSettings();
    EXPECT_EQ(App.settings.Width, 1024);
    EXPECT_EQ(App.settings.Height, 800);
    Choose800x600();
    SaveSettingsIfChanged();
    ExpectReadBack800x600();
    chmod(root.File("media").c_str(), 0755);
    EXPECT_NE(ReadFileBytes(root.File("media/game.ini")).find("Width=1024"), std::string::npos);
    EXPECT_NE(ReadFileBytes(config + "/kelvane/game.ini").find("Width=800"), std::string::npos);
}
