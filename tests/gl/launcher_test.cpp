#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/game_app.h"
#include "app/launcher.h"
#include "core/services.h"
#include "app/settings_file.h"
#include "support/error_capture.h"
#include "support/media.h"
#include "support/temp_dir.h"
#include "support/x_driver.h"

namespace {

struct LauncherFixture : ::testing::Test {
    TempDir media;  // without splash.jpg: the launcher reports it
    ErrorCapture errors;
    std::string title = UniqueTitle("Kelvane launcher test");
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs an X display";
        SetMediaFolderOverride(media.path.c_str());
        App.settings = Settings{};
    }
    void TearDown() override {
        SetMediaFolderOverride(nullptr);
        App.settings = Settings{};
    }
    // A script that waits for the launcher, gives it the keyboard (as a window manager
    // would; the test display has none), then runs the given xdotool steps on it ($W).
    std::string Script(const std::string& steps) const {
        return "W=$(timeout 20 xdotool search --sync --onlyvisible --name '^" + title +
               "$' | head -1); [ -n \"$W\" ] || exit 1; sleep 0.3; "
               "timeout 5 xdotool windowfocus --sync $W; " +
               steps;
    }
    bool RunWith(const std::string& steps) {
        pid_t driver = StartDriver(Script(steps));
        bool started = RunLauncher(title.c_str());
        EXPECT_EQ(StopDriver(driver, true), 0) << "the driver script failed";
        return started;
    }
};

}  // namespace

TEST_F(LauncherFixture, StartWithoutChangesStoresTheDefaultsItShowed) {
    // Pointer over the picture, then Alt+S: the & of "&Start".
    bool started = RunWith("xdotool mousemove --window $W 300 200 click 1; sleep 0.2; xdotool key alt+s");
    ASSERT_TRUE(started);
    const Settings& s = App.settings;
    EXPECT_TRUE(s.dirty);
    EXPECT_EQ(s.Windowed, 1);
    EXPECT_EQ(s.Lights, 0);
    EXPECT_EQ(s.Music, 0);
    EXPECT_EQ(s.Joystick, 0);
    EXPECT_EQ(s.UseHiQualTex, 0);
    EXPECT_EQ(s.UseScreenRes, 0);
    EXPECT_EQ(s.Captions, 1);
    EXPECT_EQ(s.Width, 640);
    EXPECT_EQ(s.Height, 480);
    // Written only at exit.
    EXPECT_FALSE(std::filesystem::exists(media.File("game.ini")));
    // The missing splash picture was reported and the launcher worked without it.
    ASSERT_EQ(errors.reports.size(), 1u);
    EXPECT_EQ(errors.reports[0].message, "Unable to load the texture file:");
    EXPECT_EQ(errors.reports[0].detail, "splash.jpg");
}

TEST_F(LauncherFixture, ShowsTheSplashPictureWithoutAReport) {
    ASSERT_TRUE(std::filesystem::copy_file(GeneratedMediaDir() + "/splash.jpg", media.File("splash.jpg")) ||
                !std::filesystem::exists(GeneratedMediaDir() + "/splash.jpg"));
    if (!std::filesystem::exists(media.File("splash.jpg"))) GTEST_SKIP() << "no generated media";
    ASSERT_TRUE(RunWith("xdotool mousemove --window $W 300 200; sleep 0.2; xdotool key alt+s"));
    EXPECT_TRUE(errors.reports.empty());
}

TEST_F(LauncherFixture, Choosing1024x800AndLightsIsStoredAndWrittenAtExit) {
    // Open the drop-down, two items down, Enter; tick Lights; press the Start button.
    bool started = RunWith(
        "xdotool mousemove --window $W 80 12 click 1; sleep 0.5; xdotool key Down Down Return; sleep 0.3; "
        "xdotool mousemove --window $W 236 12 click 1; sleep 0.3; "
        "xdotool mousemove --window $W 40 36 click 1; sleep 0.3; "
        "xdotool mousemove --window $W 596 432 click 1");
    ASSERT_TRUE(started);
    const Settings& s = App.settings;
    EXPECT_EQ(s.Captions, 0) << "the captions' tick, under Rez, was cleared";
    EXPECT_EQ(s.UseScreenRes, 2);
    EXPECT_EQ(s.Width, 1024);
    EXPECT_EQ(s.Height, 800);
    EXPECT_EQ(s.Lights, 1);
    EXPECT_EQ(s.Windowed, 1);
    SaveSettingsIfChanged();
    std::string ini = ReadFileBytes(media.File("game.ini"));
    EXPECT_NE(ini.find("Width=1024"), std::string::npos) << ini;
    EXPECT_NE(ini.find("Height=800"), std::string::npos) << ini;
    EXPECT_NE(ini.find("UseScreenRes=2"), std::string::npos) << ini;
    EXPECT_NE(ini.find("Lights=1"), std::string::npos) << ini;
    EXPECT_NE(ini.find("Captions=0"), std::string::npos) << ini;
}

TEST_F(LauncherFixture, ShowsTheFileValuesAndStartKeepsThem) {
    media.Write("game.ini", "[Game]\nWindowed=0\nLights=1\nMusic=1\nJoystick=0\nUseHiQualTex=1\nUseScreenRes=1\n");
    bool started = RunWith("xdotool mousemove --window $W 596 432 click 1");
    ASSERT_TRUE(started);
    const Settings& s = App.settings;
    EXPECT_EQ(s.Windowed, 0);
    EXPECT_EQ(s.Lights, 1);
    EXPECT_EQ(s.Music, 1);
    EXPECT_EQ(s.Joystick, 0);
    EXPECT_EQ(s.UseHiQualTex, 1);
    EXPECT_EQ(s.UseScreenRes, 1);
    EXPECT_EQ(s.Width, 800);
    EXPECT_EQ(s.Height, 600);
}

TEST_F(LauncherFixture, TheCloseBoxStoresNothing) {
    const std::string before = "[Game]\nWidth=800\nHeight=600\nUseScreenRes=1\n";
    media.Write("game.ini", before);
    // Tick a box first, then close: the tick must not reach the settings.
    const std::string ticked = media.File("ticked");
    pid_t driver = StartDriver(Script("xdotool mousemove --window $W 236 12 click 1; touch " + ticked));
    pid_t closer = StartCloser(title, 20000, ticked);
    bool started = RunLauncher(title.c_str());
    EXPECT_EQ(StopDriver(driver, true), 0);
    EXPECT_EQ(StopDriver(closer, true), 0);
    EXPECT_FALSE(started);
    EXPECT_FALSE(App.settings.dirty);
    EXPECT_EQ(App.settings.Lights, 0);
    SaveSettingsIfChanged();
    EXPECT_EQ(ReadFileBytes(media.File("game.ini")), before);
}
