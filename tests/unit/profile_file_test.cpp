#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/profile_file.h"
#include "support/temp_dir.h"

TEST(ProfileFile, MissingFileSectionOrKeyGivesTheDefault) {
    TempDir dir;
    std::string path = dir.File("game.ini");
    EXPECT_EQ(ProfileReadInt(path.c_str(), "Game", "Width", 640), 640);
    dir.Write("game.ini", "[Other]\nWidth=800\n[Game]\nHeight=600\n");
    EXPECT_EQ(ProfileReadInt(path.c_str(), "Game", "Width", 640), 640);
    EXPECT_EQ(ProfileReadInt(path.c_str(), "Game", "Height", 480), 600);
    EXPECT_EQ(ProfileReadInt(path.c_str(), "Nope", "Height", 480), 480);
}

TEST(ProfileFile, ReadsLikeTheClassicReader) {
    TempDir dir;
    std::string path = dir.Write("game.ini",
                                 "\xEF\xBB\xBF[game]\r\n width = 1024 \r\nLights=abc\r\nMusic=-3\r\n"
                                 "Joystick=99999999999\r\nHeight=12px\r\n");
    // Names are case-insensitive; a byte-order mark and CRLF are accepted.
    EXPECT_EQ(ProfileReadInt(path.c_str(), "Game", "Width", 0), 1024);
    EXPECT_EQ(ProfileReadInt(path.c_str(), "Game", "Lights", 7), 0);  // not a number reads 0
    EXPECT_EQ(ProfileReadInt(path.c_str(), "Game", "Music", 0), -3);
    EXPECT_EQ(ProfileReadInt(path.c_str(), "Game", "Joystick", 0), 2147483647);
    EXPECT_EQ(ProfileReadInt(path.c_str(), "Game", "Height", 0), 12);
}

TEST(ProfileFile, EmptyAndHugeLinesAreHarmless) {
    TempDir dir;
    std::string path = dir.Write("empty.ini", "");
    EXPECT_EQ(ProfileReadInt(path.c_str(), "Game", "Width", 5), 5);
    std::string big = "[Game]\nJunk=" + std::string(100000, 'x') + "\nWidth=800\n";
    path = dir.Write("big.ini", big);
    EXPECT_EQ(ProfileReadInt(path.c_str(), "Game", "Width", 5), 800);
}

TEST(ProfileFile, WriteCreatesUpdatesAndKeepsOtherKeys) {
    TempDir dir;
    std::string path = dir.File("game.ini");
    ASSERT_TRUE(ProfileWriteString(path.c_str(), "Game", "Width", "800"));
    ASSERT_TRUE(ProfileWriteString(path.c_str(), "Game", "Height", "600"));
    EXPECT_EQ(ReadFileBytes(path), "[Game]\nWidth=800\nHeight=600\n");

    dir.Write("game.ini", "; my notes\n[Game]\nWidth=800\nCustom=5\n\n[Other]\nX=1\n");
    ASSERT_TRUE(ProfileWriteString(path.c_str(), "Game", "Width", "1024"));
    ASSERT_TRUE(ProfileWriteString(path.c_str(), "Game", "Lights", "1"));
    ASSERT_TRUE(ProfileWriteString(path.c_str(), "Other", "Y", "2"));
    EXPECT_EQ(ReadFileBytes(path),
              "; my notes\n[Game]\nWidth=1024\nCustom=5\nLights=1\n\n[Other]\nX=1\nY=2\n");
    EXPECT_EQ(ProfileReadInt(path.c_str(), "Game", "Custom", 0), 5);
}

TEST(ProfileFile, WriteReplacesAtomicallyAndLeavesNoTemporaryFile) {
    TempDir dir;
    std::string path = dir.Write("game.ini", "[Game]\nWidth=640\n");
    struct stat before;
    ASSERT_EQ(stat(path.c_str(), &before), 0);
    ASSERT_TRUE(ProfileWriteString(path.c_str(), "Game", "Width", "800"));
    struct stat after;
    ASSERT_EQ(stat(path.c_str(), &after), 0);
    // A rename puts a new file in place rather than rewriting the old one in place.
    EXPECT_NE(before.st_ino, after.st_ino);
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path)) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1);
}

TEST(ProfileFile, UnwritableFolderFailsAndKeepsTheOldFile) {
    if (geteuid() == 0) GTEST_SKIP() << "root ignores folder permissions";
    TempDir dir;
    std::string path = dir.Write("game.ini", "[Game]\nWidth=640\n");
    chmod(dir.path.c_str(), 0555);
    EXPECT_FALSE(ProfileWriteString(path.c_str(), "Game", "Width", "800"));
    chmod(dir.path.c_str(), 0755);
    EXPECT_EQ(ReadFileBytes(path), "[Game]\nWidth=640\n");
}

TEST(ProfileFile, MissingFolderFails) {
    EXPECT_FALSE(ProfileWriteString("/nonexistent-kelvane/dir/game.ini", "Game", "Width", "1"));
}
