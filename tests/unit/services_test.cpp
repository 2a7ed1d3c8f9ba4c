#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "core/services.h"
#include "support/error_capture.h"

TEST(ShowError, FormatsMessageDetailAndContinuation) {
    ErrorCapture errors;
    ShowError("Could not open file:", "/x/media/terrain.a3f");
    ASSERT_EQ(errors.reports.size(), 1u);
    EXPECT_EQ(errors.reports[0].text,
              "Could not open file: /x/media/terrain.a3f The application will continue.");
    EXPECT_TRUE(errors.Has("Could not open file:"));
}

TEST(ShowError, LongDetailIsCutToTheBoxBuffer) {
    ErrorCapture errors;
    std::string detail(2000, 'x');
    ShowError("Bad model:", detail.c_str());
    ASSERT_EQ(errors.reports.size(), 1u);
    EXPECT_EQ(errors.reports[0].text.size(), 511u);
}

TEST(ShowError, WithoutHookOrDisplayWritesToStderr) {
    // No display in this process's environment: the report must not block or crash.
    std::string saved = getenv("DISPLAY") ? getenv("DISPLAY") : "";
    unsetenv("DISPLAY");
    testing::internal::CaptureStderr();
    ShowError("Unable to load the texture file:", "sky.jpg");
    std::string err = testing::internal::GetCapturedStderr();
    if (!saved.empty()) setenv("DISPLAY", saved.c_str(), 1);
    EXPECT_NE(err.find("Unable to load the texture file: sky.jpg The application will continue."),
              std::string::npos);
}

TEST(MediaPath, IsTheExecutablesFolderThenMediaThenTheName) {
    char exe[PathBufferSize];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    ASSERT_GT(n, 0);
    exe[n] = '\0';
    std::string folder(exe);
    folder = folder.substr(0, folder.rfind('/'));

    char out[PathBufferSize];
    MediaPath(out, "terrain.a3f");
    EXPECT_EQ(std::string(out), folder + "/media/terrain.a3f");

    char inPlace[PathBufferSize] = "game.ini";
    MediaPathInPlace(inPlace);
    EXPECT_EQ(std::string(inPlace), folder + "/media/game.ini");
}

TEST(MediaPath, OverlongNamesAreCutToTheBuffer) {
    std::string name(400, 'n');
    char out[PathBufferSize + 8];
    std::memset(out, 'Z', sizeof out);
    MediaPath(out, name.c_str());
    EXPECT_EQ(std::strlen(out), PathBufferSize - 1);
    EXPECT_EQ(out[PathBufferSize], 'Z');  // nothing written past the buffer
}

TEST(MediaPath, OverrideFolderForTools) {
    SetMediaFolderOverride("/tmp/some media");
    char out[PathBufferSize];
    MediaPath(out, "a.wav");
    SetMediaFolderOverride(nullptr);
    EXPECT_STREQ(out, "/tmp/some media/a.wav");
}

namespace {
uint32_t fakeMs = 0;
uint32_t FakeClock() { return fakeMs; }
}  // namespace

TEST(Seconds, IsTheMillisecondCountTimesAThousandth) {
    SetClockSource(FakeClock);
    fakeMs = 12345;
    EXPECT_FLOAT_EQ(Seconds(), 12.345f);
    fakeMs = 0xFFFFFFFFu;
    EXPECT_FLOAT_EQ(Seconds(), static_cast<float>(0xFFFFFFFFu) * 0.001f);
    SetClockSource(nullptr);
}
