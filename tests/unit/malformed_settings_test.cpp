// Damaged game.ini files read and written through the game's own settings code: values of
// every kind of wrong, a byte-order mark, a zero-byte file, a file far larger than settings,
// and a media folder where nothing can be written. The game always starts with usable
// settings, and a save never destroys what it cannot rewrite.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "core/game_app.h"
#include "core/services.h"
#include "app/settings_file.h"
#include "support/settings_fixture.h"
#include "support/temp_dir.h"

namespace {

struct MalformedSettings : SettingsFixture {};

void ExpectFileDefaults(const Settings& s) {
    EXPECT_EQ(s.Windowed, 1);
    EXPECT_EQ(s.Lights, 0);
    EXPECT_EQ(s.Music, 0);
    EXPECT_EQ(s.Width, 640);
    EXPECT_EQ(s.Height, 480);
    EXPECT_EQ(s.UseScreenRes, 0);
}

}  // namespace

TEST_F(MalformedSettings, HugeNegativeAndNonNumericValuesAfterAByteOrderMark) {
    media.Write("game.ini",
                "\xEF\xBB\xBF[Game]\r\nWindowed=99999999999999999999\r\nLights=-7\r\nMusic=on\r\n"
                "Joystick=-99999999999\r\nUseHiQualTex=\r\nWidth=-1024\r\nHeight=2147483648\r\n"
                "UseScreenRes=0x3\r\n");
    LoadSettings();
    const Settings& s = App.settings;
    EXPECT_EQ(s.Windowed, 2147483647);
    EXPECT_EQ(s.Lights, -7);
    EXPECT_EQ(s.Music, 0);
    EXPECT_EQ(s.Joystick, -2147483647 - 1);
    EXPECT_EQ(s.UseHiQualTex, 0);
    EXPECT_EQ(s.Width, 640);  // an unusable size falls back to the default pair
    EXPECT_EQ(s.Height, 480);
    EXPECT_EQ(s.UseScreenRes, 0);

    // Saved back, they read back as the same numbers.
    SaveSettings();
    const Settings saved = App.settings;
    App.settings = Settings{};
    LoadSettings();
    EXPECT_EQ(App.settings.Windowed, saved.Windowed);
    EXPECT_EQ(App.settings.Joystick, saved.Joystick);
    EXPECT_EQ(App.settings.Lights, saved.Lights);
}

TEST_F(MalformedSettings, ASecondByteOrderMarkStillReadsTheSameAfterASave) {
    // Only the first mark is taken as one: the line after it is not a section header, so
    // its Music does not count. A save keeps the mark, or the next read would see the
    // second mark as the first and take that section after all.
    media.Write("game.ini", "\xEF\xBB\xBF\xEF\xBB\xBF[Game]\nMusic=1\n");
    LoadSettings();
    EXPECT_EQ(App.settings.Music, 0);
    SaveSettings();
    EXPECT_EQ(Ini().rfind("\xEF\xBB\xBF\xEF\xBB\xBF[Game]\nMusic=1\n", 0), 0u);
    App.settings.Music = 5;
    LoadSettings();
    EXPECT_EQ(App.settings.Music, 0);
}

TEST_F(MalformedSettings, ZeroByteAndUnreadableFilesGiveTheDefaults) {
    media.Write("game.ini", "");
    LoadSettings();
    ExpectFileDefaults(App.settings);

    // A folder where the file should be: nothing to read, and nothing written over it.
    ASSERT_EQ(unlink(media.File("game.ini").c_str()), 0);
    ASSERT_EQ(mkdir(media.File("game.ini").c_str(), 0755), 0);
    App.settings = Settings{};
    LoadSettings();
    ExpectFileDefaults(App.settings);
    App.settings.Width = 1024;
    SaveSettings();
    struct stat st;
    ASSERT_EQ(stat(media.File("game.ini").c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_TRUE(errors.Has("Unable to save the settings file:"));
}

TEST_F(MalformedSettings, AFileLargerThanSettingsIsReadInPartAndNeverRewritten) {
    // A key before the limit is read; the file is not cut down to the part that was read.
    const std::string big = "[Game]\nWidth=800\nHeight=600\nJunk=" + std::string(3 << 20, 'x') + "\nMusic=1\n";
    media.Write("game.ini", big);
    LoadSettings();
    EXPECT_EQ(App.settings.Width, 800);
    EXPECT_EQ(App.settings.Music, 0);  // past the limit: not seen
    App.settings.Width = 1024;
    SaveSettings();
    EXPECT_EQ(Ini(), big);
    EXPECT_TRUE(errors.Has("Unable to save the settings file:"));
}

TEST_F(MalformedSettings, AFailedSaveIsReportedWithThePathAndKeepsTheOldFile) {
    // A full disk, as the process sees it: no file may grow past 16 bytes during the save.
    const std::string old = "[Game]\nWidth=800\nHeight=600\n";
    media.Write("game.ini", old);
    LoadSettings();
    App.settings.Music = 1;
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit full = saved;
    full.rlim_cur = 16;
    void (*oldHandler)(int) = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &full), 0);
    SaveSettings();
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(Ini(), old);
    ASSERT_EQ(errors.reports.size(), 1u);
    EXPECT_EQ(errors.reports[0].message, "Unable to save the settings file:");
    EXPECT_EQ(errors.reports[0].detail, media.File("game.ini"));
}

TEST_F(MalformedSettings, AnUnwritableMediaFolderKeepsTheOldFile) {
    // A media folder that is a file: nothing can be created in it, not even by root.
    const std::string notAFolder = media.Write("plain", "x");
    SetMediaFolderOverride(notAFolder.c_str());
    LoadSettings();
    ExpectFileDefaults(App.settings);
    SaveSettings();  // into the (fresh) configuration folder instead
    EXPECT_EQ(ReadFileBytes(notAFolder), "x");

    // A read-only folder, where permissions apply.
    SetMediaFolderOverride(media.path.c_str());
    media.Write("game.ini", "[Game]\nWidth=800\n");
    if (geteuid() == 0) return;  // root writes anyway
    chmod(media.path.c_str(), 0555);
    App.settings.Width = 1024;
    SaveSettings();
    chmod(media.path.c_str(), 0755);
    EXPECT_EQ(Ini(), "[Game]\nWidth=800\n");
}
