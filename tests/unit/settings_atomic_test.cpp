// A game killed while it saves its settings leaves game.ini whole: a child process saves
// two sets of settings in turn, as fast as it can, and is killed with SIGKILL at random
// moments; after every kill the file must be exactly one of the two.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <string>

#include "core/game_app.h"
#include "core/services.h"
#include "app/settings_file.h"
#include "math/random.h"
#include "support/temp_dir.h"

namespace {

Settings Choice(bool second) {
    Settings s;
    s.Windowed = second ? 0 : 1;
    s.Lights = second ? 1 : 0;
    s.Music = second ? 1 : 0;
    s.Joystick = second ? 1 : 0;
    s.UseHiQualTex = second ? 1 : 0;
    s.Width = second ? 1024 : 640;
    s.Height = second ? 800 : 480;
    s.UseScreenRes = second ? 2 : 0;
    return s;
}

void SleepMicroseconds(long us) {
    timespec t{us / 1000000, (us % 1000000) * 1000};
    nanosleep(&t, nullptr);
}

}  // namespace

TEST(SettingsAtomicSave, AKilledWriterLeavesTheOldOrTheNewFileWhole) {
    TempDir media;
    SetMediaFolderOverride(media.path.c_str());
    const std::string path = media.File("game.ini");
    // The two files, as a save writes them (a comment line of the player's is kept).
    media.Write("game.ini", "; my settings\n");
    App.settings = Choice(true);
    SaveSettings();
    const std::string second = ReadFileBytes(path);
    App.settings = Choice(false);
    SaveSettings();
    const std::string first = ReadFileBytes(path);
    ASSERT_NE(first, second);
    ASSERT_NE(first.find("; my settings"), std::string::npos);

    // How long a save takes here (it syncs the file to disk), so that the kills land
    // anywhere from before the first save to a few saves in, on a fast disk or a slow one.
    timespec start, end;
    clock_gettime(CLOCK_MONOTONIC, &start);
    for (int i = 0; i < 4; ++i) SaveSettings();
    clock_gettime(CLOCK_MONOTONIC, &end);
    const long saveUs = ((end.tv_sec - start.tv_sec) * 1000000L + (end.tv_nsec - start.tv_nsec) / 1000) / 4;
    const long spanUs = saveUs * 4 > 8000 ? saveUs * 4 : 8000;

    SeedRand(8);
    int sawFirst = 0, sawSecond = 0;
    const int kills = 150;
    for (int i = 0; i < kills; ++i) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (bool which = true;; which = !which) {
                App.settings = Choice(which);
                SaveSettings();
            }
        }
        SleepMicroseconds(spanUs * Rand() / RandMax);
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        const std::string now = ReadFileBytes(path);
        ASSERT_TRUE(now == first || now == second) << "after kill " << i << ":\n" << now;
        (now == first ? sawFirst : sawSecond) += 1;
        // The killed writer's half-written temporary file is its own; the game never reads it.
        const std::string temp = path + ".tmp" + std::to_string(child);
        unlink(temp.c_str());
    }
    // The kills landed both between saves of the one kind and of the other.
    EXPECT_GT(sawFirst, 0);
    EXPECT_GT(sawSecond, 0);
    App.settings = Settings{};
    SetMediaFolderOverride(nullptr);
}
