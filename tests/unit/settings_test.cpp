#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/game_app.h"
#include "app/launcher.h"
#include "core/services.h"
#include "app/settings_file.h"
#include "support/settings_fixture.h"
#include "support/temp_dir.h"

TEST_F(SettingsFixture, NoFileGivesTheFileDefaultsNotTheConstructedOnes) {
    // Built with Lights on; the file default (off) wins because the file is read first.
    ASSERT_EQ(App.settings.Lights, 1);
    App.settings.Windowed = 0;
    App.settings.Width = 1;
    LoadSettings();
    const Settings& s = App.settings;
    EXPECT_EQ(s.Windowed, 1);
    EXPECT_EQ(s.Lights, 0);
    EXPECT_EQ(s.Music, 0);
    EXPECT_EQ(s.Joystick, 0);
    EXPECT_EQ(s.UseHiQualTex, 0);
    EXPECT_EQ(s.Width, 640);
    EXPECT_EQ(s.Height, 480);
    EXPECT_EQ(s.UseScreenRes, 0);
    EXPECT_FALSE(s.dirty);
}

TEST_F(SettingsFixture, ReadsEveryKeyOfTheGameSection) {
    media.Write("game.ini",
                "[Other]\nWidth=3\n[Game]\nWindowed=0\nLights=1\nMusic=1\nJoystick=1\nUseHiQualTex=1\n"
                "Width=800\nHeight=600\nUseScreenRes=1\n");
    LoadSettings();
    const Settings& s = App.settings;
    EXPECT_EQ(s.Windowed, 0);
    EXPECT_EQ(s.Lights, 1);
    EXPECT_EQ(s.Music, 1);
    EXPECT_EQ(s.Joystick, 1);
    EXPECT_EQ(s.UseHiQualTex, 1);
    EXPECT_EQ(s.Width, 800);
    EXPECT_EQ(s.Height, 600);
    EXPECT_EQ(s.UseScreenRes, 1);
}

TEST_F(SettingsFixture, StartWith1024x800IsWrittenAtExitAndReadsBack) {
    LoadSettings();
    ResolutionSize(2, App.settings.Width, App.settings.Height);
    App.settings.UseScreenRes = 2;
    App.settings.Lights = 1;
    App.settings.dirty = true;
    SaveSettingsIfChanged();
    std::string ini = Ini();
    EXPECT_NE(ini.find("[Game]"), std::string::npos);
    EXPECT_NE(ini.find("Width=1024\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("Height=800\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("UseScreenRes=2\n"), std::string::npos) << ini;
    // Written in the order of the keys.
    EXPECT_LT(ini.find("Windowed="), ini.find("Lights="));
    EXPECT_LT(ini.find("UseHiQualTex="), ini.find("Width="));
    EXPECT_LT(ini.find("Height="), ini.find("UseScreenRes="));

    App.settings = Settings{};
    LoadSettings();
    EXPECT_EQ(App.settings.Width, 1024);
    EXPECT_EQ(App.settings.Height, 800);
    EXPECT_EQ(App.settings.UseScreenRes, 2);
    EXPECT_EQ(App.settings.Lights, 1);
    EXPECT_EQ(App.settings.Windowed, 1);
}

TEST_F(SettingsFixture, WithoutStartNothingIsWritten) {
    App.settings.Width = 800;
    SaveSettingsIfChanged();
    EXPECT_FALSE(std::filesystem::exists(media.File("game.ini")));
    // An existing file is left exactly as it was.
    media.Write("game.ini", "[Game]\nWidth=1024\n; mine\n");
    SaveSettingsIfChanged();
    EXPECT_EQ(Ini(), "[Game]\nWidth=1024\n; mine\n");
}

TEST_F(SettingsFixture, SavingKeepsOtherLinesOfTheFile) {
    media.Write("game.ini", "[Game]\nWidth=1024\n[Mine]\nKeep=7\n");
    App.settings.dirty = true;
    SaveSettingsIfChanged();
    std::string ini = Ini();
    EXPECT_NE(ini.find("Keep=7"), std::string::npos);
    EXPECT_NE(ini.find("Width=640"), std::string::npos);
    EXPECT_EQ(ini.find("Width=1024"), std::string::npos);
}

TEST_F(SettingsFixture, UnusableSizesFallBackTo640x480) {
    const char* bad[] = {"Width=0\nHeight=480\n", "Width=-640\nHeight=480\n", "Width=800\nHeight=0\n",
                         "Width=20000\nHeight=600\n", "Width=800\nHeight=16385\n", "Width=abc\nHeight=600\n"};
    for (const char* sizes : bad) {
        media.Write("game.ini", std::string("[Game]\n") + sizes);
        App.settings.Width = App.settings.Height = 1;
        LoadSettings();
        EXPECT_EQ(App.settings.Width, 640) << sizes;
        EXPECT_EQ(App.settings.Height, 480) << sizes;
    }
    // The largest usable side is kept.
    media.Write("game.ini", "[Game]\nWidth=16384\nHeight=1\n");
    LoadSettings();
    EXPECT_EQ(App.settings.Width, 16384);
    EXPECT_EQ(App.settings.Height, 1);
}

TEST(ResolutionSize, ItemsGiveTheirStoredSizes) {
    struct Case {
        int index, width, height;
    } cases[] = {{-1, 640, 480}, {0, 640, 480}, {1, 800, 600}, {2, 1024, 800}, {3, 640, 480}};
    for (const Case& c : cases) {
        int w = 1, h = 1;
        ResolutionSize(c.index, w, h);
        EXPECT_EQ(w, c.width) << c.index;
        EXPECT_EQ(h, c.height) << c.index;
    }
    // Indexes the list does not hold change nothing.
    int w = 123, h = 456;
    ResolutionSize(4, w, h);
    EXPECT_EQ(w, 123);
    EXPECT_EQ(h, 456);
}
