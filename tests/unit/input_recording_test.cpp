#include <gtest/gtest.h>

#include "app/recording.h"
#include "support/error_capture.h"
#include "support/temp_dir.h"

TEST(InputRecording, SavesAndLoadsEveryEntryExactly) {
    TempDir dir;
    Recording r;
    r.seed = 0xDEADBEEF;
    RecordedEntry e{};
    e.kind = RecordedEntry::Event;
    e.event = {InputEventType::MouseMove, 0, -5, 479};
    r.entries.push_back(e);
    e.event = {InputEventType::KeyDown, 0x41, 0, 0};
    r.entries.push_back(e);
    RecordedEntry f{};
    f.kind = RecordedEntry::Frame;
    f.clockMs = 123456;
    f.dt = 0.0312345f;
    r.entries.push_back(f);
    std::string path = dir.File("play.rec");
    ASSERT_TRUE(SaveRecording(path.c_str(), r));

    Recording back;
    ASSERT_TRUE(LoadRecording(path.c_str(), back));
    EXPECT_EQ(back.seed, 0xDEADBEEFu);
    ASSERT_EQ(back.entries.size(), 3u);
    EXPECT_EQ(back.entries[0].event.type, InputEventType::MouseMove);
    EXPECT_EQ(back.entries[0].event.x, -5);
    EXPECT_EQ(back.entries[0].event.y, 479);
    EXPECT_EQ(back.entries[1].event.key, 0x41);
    EXPECT_EQ(back.entries[2].clockMs, 123456u);
    EXPECT_EQ(back.entries[2].dt, 0.0312345f);  // bit for bit
}

TEST(InputRecording, TruncatedOrForeignFilesAreReported) {
    TempDir dir;
    Recording r;
    RecordedEntry f{};
    f.kind = RecordedEntry::Frame;
    r.entries.assign(10, f);
    std::string path = dir.File("play.rec");
    ASSERT_TRUE(SaveRecording(path.c_str(), r));
    std::string bytes = ReadFileBytes(path);

    ErrorCapture errors;
    Recording back;
    std::string cut = dir.Write("cut.rec", bytes.substr(0, bytes.size() - 3));
    EXPECT_FALSE(LoadRecording(cut.c_str(), back));
    std::string foreign = dir.Write("foreign.rec", "RIFF\x10\x00\x00\x00WAVEfmt ");
    EXPECT_FALSE(LoadRecording(foreign.c_str(), back));
    std::string huge = bytes.substr(0, 12) + std::string("\xFF\xFF\xFF\xFF", 4);
    std::string hugePath = dir.Write("huge.rec", huge);
    EXPECT_FALSE(LoadRecording(hugePath.c_str(), back));
    EXPECT_FALSE(LoadRecording(dir.File("missing.rec").c_str(), back));
    EXPECT_EQ(errors.reports.size(), 4u);
    EXPECT_TRUE(errors.Has("Bad recording:"));
    EXPECT_TRUE(errors.Has("Could not open file:"));
}
