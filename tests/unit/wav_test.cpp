#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/services.h"
#include "audio/mixer.h"
#include "audio/sound_system.h"
#include "audio/wav_loader.h"
#include "support/error_capture.h"
#include "support/temp_dir.h"
#include "support/wav_bytes.h"

namespace {

int LoadBytes(const std::string& bytes) {
    return LoadWavFromMemory(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

std::string Bytes(size_t n, char c = '\x11') { return std::string(n, c); }

struct WavTest : testing::Test {
    TempDir dir;
    void SetUp() override {
        CloseSoundOutput();
        SetMediaFolderOverride(dir.path.c_str());
    }
    void TearDown() override {
        CloseSoundOutput();
        SetMediaFolderOverride(nullptr);
    }
};

std::vector<short> Sine(int frames, int channels, double rate, double hz, double amplitude) {
    std::vector<short> out(static_cast<size_t>(frames) * channels);
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            out[static_cast<size_t>(i) * channels + c] =
                static_cast<short>(amplitude * std::sin(2 * M_PI * hz * i / rate));
    return out;
}

// Writes Microsoft ADPCM with libsndfile, as a sound tool would.
bool WriteAdpcm(const std::string& path, const std::vector<short>& frames, int channels, int rate) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_MS_ADPCM;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    if (f == nullptr) return false;
    sf_count_t n = static_cast<sf_count_t>(frames.size() / channels);
    bool ok = sf_writef_short(f, frames.data(), n) == n;
    sf_close(f);
    return ok;
}

// Offset of a chunk's body in a RIFF file, or npos.
size_t ChunkBody(const std::string& file, const char* id) {
    size_t pos = 12;
    while (pos + 8 <= file.size()) {
        uint32_t n = static_cast<uint8_t>(file[pos + 4]) | (static_cast<uint8_t>(file[pos + 5]) << 8) |
                     (static_cast<uint8_t>(file[pos + 6]) << 16) |
                     (static_cast<uint32_t>(static_cast<uint8_t>(file[pos + 7])) << 24);
        if (file.compare(pos, 4, id) == 0) return pos + 8;
        pos += 8 + n + (n & 1);
    }
    return std::string::npos;
}

}  // namespace

TEST_F(WavTest, OneSecondOf16BitPcmFillsTheFirstSlot) {
    std::string data;
    for (int i = 0; i < 11025; ++i) data += LittleEndian16(static_cast<uint16_t>(i * 3));
    ASSERT_EQ(data.size(), 22050u);
    dir.Write("engine.wav", Riff(Chunk("fmt ", PcmFormat(1, 11025, 16)) + Chunk("data", data)));
    ErrorCapture errors;
    EXPECT_EQ(LoadWav("engine.wav"), 0);
    EXPECT_TRUE(errors.reports.empty());
    ASSERT_EQ(Sound.voiceCount, 1);
    const Voice& v = Sound.voices[0];
    EXPECT_EQ(v.length, 11025);
    ASSERT_NE(v.samples, nullptr);
    EXPECT_EQ(v.samples[0], 0);
    EXPECT_EQ(v.samples[11024], static_cast<int16_t>(11024 * 3));
    EXPECT_FALSE(v.active.load());
    EXPECT_FALSE(v.sharesSamples);
    // The next load takes the next slot.
    dir.Write("siren.wav", PcmWav({1, 2, 3}));
    EXPECT_EQ(LoadWav("siren.wav"), 1);
    EXPECT_EQ(Sound.voices[1].length, 3);
}

TEST_F(WavTest, RifxAndOtherChunksBeforeTheDataAreAccepted) {
    std::string data = LittleEndian16(7) + LittleEndian16(9);
    // Only "RIF" is compared; LIST and fact chunks (one of odd length, taken unpadded)
    // are skipped.
    std::string file = Riff(Chunk("fmt ", PcmFormat(1, 11025, 16)) + Chunk("LIST", Bytes(13)) +
                                Chunk("fact", LittleEndian32(2)) + Chunk("data", data),
                            "RIFX");
    int id = LoadBytes(file);
    ASSERT_EQ(id, 0);
    EXPECT_EQ(Sound.voices[0].length, 2);
    EXPECT_EQ(Sound.voices[0].samples[1], 9);
}

TEST_F(WavTest, HeaderFaultsGiveTheirCodes) {
    std::string fmt = Chunk("fmt ", PcmFormat(1, 11025, 16));
    std::string data = Chunk("data", Bytes(8));
    EXPECT_EQ(LoadBytes("RIXF" + LittleEndian32(4) + "WAVE" + fmt + data), WavCannotOpen);
    EXPECT_EQ(LoadBytes("RIFF" + LittleEndian32(4) + "WAXE" + fmt + data), WavNotWave);
    EXPECT_EQ(LoadBytes(Riff(Chunk("LIST", Bytes(4)) + fmt + data)), WavNoFormat);
    // A 51-byte format chunk is refused before anything after it is read: there is no
    // data chunk at all here.
    EXPECT_EQ(LoadBytes(Riff(Chunk("fmt ", Bytes(51)))), WavBadFormat);
    std::string mp3Format = PcmFormat(1, 11025, 16);
    mp3Format[0] = 0x55;
    EXPECT_EQ(LoadBytes(Riff(Chunk("fmt ", mp3Format) + data)), WavBadFormat);
    EXPECT_EQ(LoadBytes(""), WavCannotOpen);
    EXPECT_EQ(Sound.voiceCount, 0);
}

TEST_F(WavTest, MissingFileIsReportedOnceWithItsPath) {
    ErrorCapture errors;
    EXPECT_EQ(LoadWav("nothing.wav"), WavCannotOpen);
    ASSERT_EQ(errors.reports.size(), 1u);
    EXPECT_EQ(errors.reports[0].message, "Could not open file:");
    EXPECT_EQ(errors.reports[0].detail, dir.File("nothing.wav"));
    EXPECT_EQ(Sound.voiceCount, 0);
}

TEST_F(WavTest, TruncatedFilesFailAndFreeTheirSlot) {
    std::string fmt = Chunk("fmt ", PcmFormat(1, 11025, 16));
    // Ends inside the format chunk, inside a skipped chunk, before the data id, and
    // inside the data length.
    EXPECT_EQ(LoadBytes(Riff(fmt).substr(0, 30)), WavNoData);
    EXPECT_EQ(LoadBytes(Riff(fmt + "LIST" + LittleEndian32(100) + Bytes(20))), WavNoData);
    EXPECT_EQ(LoadBytes(Riff(fmt)), WavNoData);
    EXPECT_EQ(LoadBytes(Riff(fmt + "data" + "\x10\x00")), WavNoData);
    // A data length past the end of the file.
    EXPECT_EQ(LoadBytes(Riff(fmt + "data" + LittleEndian32(1000) + Bytes(999))), WavDataPastEnd);
    EXPECT_EQ(Sound.voiceCount, 0);
    // The slot stays free for the next load.
    EXPECT_EQ(LoadBytes(PcmWav({5, 6, 7, 8})), 0);
}

TEST_F(WavTest, PcmSampleSizesAreBoundedByTheData) {
    std::string data = Chunk("data", Bytes(1000, '\x80'));
    EXPECT_EQ(LoadBytes(Riff(Chunk("fmt ", PcmFormat(1, 11025, 0)) + data)), WavBadSampleSize);
    EXPECT_EQ(LoadBytes(Riff(Chunk("fmt ", PcmFormat(1, 11025, 4)) + data)), WavBadSampleSize);
    // A format chunk too short to hold the sample size counts as 0 bits.
    EXPECT_EQ(LoadBytes(Riff(Chunk("fmt ", LittleEndian16(1)) + data)), WavBadSampleSize);
    EXPECT_EQ(Sound.voiceCount, 0);
    // 8-bit data is played as the 16-bit samples its buffer really holds: 1000 bytes, 500.
    int id = LoadBytes(Riff(Chunk("fmt ", PcmFormat(1, 11025, 8)) + data));
    ASSERT_EQ(id, 0);
    EXPECT_EQ(Sound.voices[0].length, 500);
    // 24-bit data: 999 bytes are 333 samples, fewer than the buffer holds.
    id = LoadBytes(Riff(Chunk("fmt ", PcmFormat(1, 11025, 24)) + Chunk("data", Bytes(999))));
    ASSERT_EQ(id, 1);
    EXPECT_EQ(Sound.voices[1].length, 333);
}

TEST_F(WavTest, SeventeenthSoundFindsNoSlot) {
    std::vector<int16_t> sound(40, 100);
    for (int i = 0; i < MaxVoices; ++i) ASSERT_EQ(LoadBytes(PcmWav(sound)), i);
    dir.Write("crash.wav", PcmWav({1, 2}));
    ErrorCapture errors;
    EXPECT_EQ(LoadWav("crash.wav"), WavNoFreeSlot);
    EXPECT_EQ(LoadBytes(PcmWav({1, 2})), WavNoFreeSlot);
    EXPECT_EQ(ShareVoiceSamples(0), WavNoFreeSlot);
    EXPECT_EQ(Sound.voiceCount, MaxVoices);
    EXPECT_TRUE(errors.reports.empty());
}

TEST_F(WavTest, AdpcmDecodesCloseToItsSource) {
    std::vector<short> source = Sine(11025, 1, 11025, 440, 12000);
    std::string path = dir.File("guns.wav");
    ASSERT_TRUE(WriteAdpcm(path, source, 1, 11025));
    int id = LoadWav("guns.wav");
    ASSERT_EQ(id, 0);
    const Voice& v = Sound.voices[0];
    // The last, partly filled block may be left out.
    EXPECT_LE(v.length, 11025 + 1024);
    EXPECT_GE(v.length, 11025 - 1024);
    double error = 0, power = 0;
    int n = v.length < 11025 ? v.length : 11025;
    for (int i = 0; i < n; ++i) {
        double d = v.samples[i] - source[i];
        error += d * d;
        power += static_cast<double>(source[i]) * source[i];
    }
    // ADPCM keeps the waveform to within a few percent of its amplitude.
    EXPECT_LT(std::sqrt(error / n), 0.05 * std::sqrt(power / n));
}

TEST_F(WavTest, AdpcmOfAnotherRateAndStereoBecomesMono11025) {
    std::vector<short> source = Sine(22050, 2, 22050, 300, 10000);
    std::string path = dir.File("wind.wav");
    ASSERT_TRUE(WriteAdpcm(path, source, 2, 22050));
    int id = LoadWav("wind.wav");
    ASSERT_EQ(id, 0);
    const Voice& v = Sound.voices[0];
    // One second of sound at 11025 samples per second.
    EXPECT_NEAR(v.length, 11025, 600);
    // Still a 300 Hz tone: compare with the sine at the new rate past the filter's start.
    double error = 0, power = 0;
    for (int i = 200; i < 10000; ++i) {
        double expect = 10000 * std::sin(2 * M_PI * 300 * i / 11025.0);
        double d = v.samples[i] - expect;
        error += d * d;
        power += expect * expect;
    }
    EXPECT_LT(std::sqrt(error / power), 0.15);
}

TEST_F(WavTest, BrokenAdpcmFormatsAreRefused) {
    std::string path = dir.File("crash.wav");
    ASSERT_TRUE(WriteAdpcm(path, Sine(4000, 1, 11025, 200, 8000), 1, 11025));
    std::string good = ReadFileBytes(path);
    size_t fmt = ChunkBody(good, "fmt ");
    ASSERT_NE(fmt, std::string::npos);
    ASSERT_EQ(LoadBytes(good), 0);
    CloseSoundOutput();

    struct Patch {
        size_t offset;
        uint16_t value;
    };
    const Patch patches[] = {
        {2, 3},     // three channels
        {12, 0},    // block align 0
        {12, 5},    // block align smaller than the block header
        {14, 8},    // not 4 bits per sample
        {16, 2},    // extension too short for the coefficients
        {18, 0},    // no samples per block
        {18, 60000},// more samples per block than a block holds
        {20, 6},    // fewer than the seven standard coefficients
        {20, 200},  // more coefficients than the chunk holds
        {22, 999},  // a wrong standard coefficient
    };
    for (const Patch& p : patches) {
        std::string bad = good;
        bad.replace(fmt + p.offset, 2, LittleEndian16(p.value));
        EXPECT_EQ(LoadBytes(bad), WavConversionFailed) << "offset " << p.offset;
    }
    EXPECT_EQ(Sound.voiceCount, 0);
}
