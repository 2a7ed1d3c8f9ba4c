// Whole-file reading, as every loader does it: the bytes exactly, nothing for a missing
// file or one over the limit, and a stream without a length read up to the limit.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/file_bytes.h"
#include "core/services.h"
#include "assets/model_text.h"
#include "support/error_capture.h"
#include "support/temp_dir.h"

namespace {

std::string Read(const std::string& path, size_t maxBytes, FileReadStatus& status) {
    uint8_t* data = nullptr;
    size_t size = 0;
    status = ReadWholeFile(path.c_str(), maxBytes, data, size);
    std::string bytes(reinterpret_cast<const char*>(data), size);
    if (status != FileReadStatus::Read) {
        EXPECT_EQ(data, nullptr);
    }
    delete[] data;
    return bytes;
}

}  // namespace

TEST(ReadWholeFile, GivesTheBytesUpToTheLimitAndNothingBeyond) {
    TempDir dir;
    const std::string bytes("RIFF\0\x01\x02 end", 12);
    FileReadStatus status;
    EXPECT_EQ(Read(dir.Write("exact.bin", bytes), 12, status), bytes);
    EXPECT_EQ(status, FileReadStatus::Read);
    EXPECT_EQ(Read(dir.Write("empty.bin", ""), 12, status), "");
    EXPECT_EQ(status, FileReadStatus::Read);
    EXPECT_EQ(Read(dir.Write("over.bin", bytes + "!"), 12, status), "");
    EXPECT_EQ(status, FileReadStatus::TooLarge);
    EXPECT_EQ(Read(dir.File("missing.bin"), 12, status), "");
    EXPECT_EQ(status, FileReadStatus::CannotOpen);
}

TEST(ReadWholeFile, AFileLongerThanItTellsIsReadWholeUpToTheLimit) {
    // /proc files tell a length of 0 and hold more.
    FileReadStatus status;
    std::string self = Read("/proc/self/status", 1 << 20, status);
    EXPECT_EQ(status, FileReadStatus::Read);
    EXPECT_NE(self.find("\nVmRSS:"), std::string::npos) << self;
    EXPECT_EQ(Read("/proc/self/status", 64, status), "");
    EXPECT_EQ(status, FileReadStatus::TooLarge);
}

TEST(ReadWholeFile, AFolderOrADeviceIsAFileThatCannotBeRead) {
    // A folder tells a length of 2^63 - 1 on ext4: not "too large", unreadable.
    TempDir dir;
    FileReadStatus status;
    EXPECT_EQ(Read(dir.path, 1 << 24, status), "");
    EXPECT_EQ(status, FileReadStatus::ReadFailed);
    EXPECT_EQ(Read("/dev/zero", 4096, status), "");
    EXPECT_EQ(status, FileReadStatus::ReadFailed);

    // A folder where a model should be is reported with its path.
    ErrorCapture errors;
    std::filesystem::create_directory(dir.File("plane.a3f"));
    SetMediaFolderOverride(dir.path.c_str());
    uint8_t* data = nullptr;
    size_t size = 0;
    EXPECT_FALSE(ReadMediaModelFile("plane.a3f", data, size));
    SetMediaFolderOverride(nullptr);
    ASSERT_EQ(errors.reports.size(), 1u);
    EXPECT_EQ(errors.reports[0].message, "Could not open file:");
    EXPECT_EQ(errors.reports[0].detail, dir.File("plane.a3f"));
}
