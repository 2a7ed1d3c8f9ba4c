// Damaged sound and tune files beyond the cases of the WAV and MIDI tests: lengths near
// 4 GiB, ADPCM formats with fields of 0 or cut short, every truncation of an ADPCM file, and
// MIDI lengths that are huge or need more than four bytes. A refused sound leaves no slot
// taken; a loaded one plays only the samples its buffer holds.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/services.h"
#include "audio/mixer.h"
#include "audio/music.h"
#include "audio/sound_system.h"
#include "audio/wav_loader.h"
#include "support/error_capture.h"
#include "support/midi_builder.h"
#include "support/temp_dir.h"
#include "support/wav_bytes.h"

namespace {

int LoadBytes(const std::string& bytes) {
    std::vector<uint8_t> copy(bytes.begin(), bytes.end());  // sized exactly: overreads show
    return LoadWavFromMemory(copy.empty() ? nullptr : copy.data(), copy.size());
}

// A Microsoft ADPCM format chunk body: mono 11025 Hz, 256-byte blocks of 500 samples, the
// seven standard coefficient pairs.
std::string AdpcmFormat() {
    static const int16_t coefficients[14] = {256, 0, 512, -256, 0, 0, 192, 64, 240, 0, 460, -208, 392, -232};
    std::string f = LittleEndian16(2) + LittleEndian16(1) + LittleEndian32(11025) + LittleEndian32(5617) +
                    LittleEndian16(256) + LittleEndian16(4) + LittleEndian16(32) + LittleEndian16(500) +
                    LittleEndian16(7);
    for (int16_t c : coefficients) f += LittleEndian16(static_cast<uint16_t>(c));
    return f;
}

// Two blocks: each a 7-byte header (predictor 0, delta 16, two samples) and 249 bytes of
// 4-bit codes.
std::string AdpcmData() {
    std::string block = std::string{0} + LittleEndian16(16) + LittleEndian16(0) + LittleEndian16(0);
    for (int i = 0; i < 249; ++i) block += static_cast<char>(i % 2 ? 0x17 : 0x71);
    return block + block;
}

std::string AdpcmWav(const std::string& format) { return Riff(Chunk("fmt ", format) + Chunk("data", AdpcmData())); }

std::string Patched(std::string format, size_t offset, uint16_t value) {
    format.replace(offset, 2, LittleEndian16(value));
    return format;
}

struct MalformedWav : testing::Test {
    void SetUp() override { CloseSoundOutput(); }
    void TearDown() override { CloseSoundOutput(); }
    // Plays a loaded sound to its end: every sample the voice claims must be in its buffer.
    void PlayToTheEnd(int id) {
        static Vec3 here{0, 0, 0};
        static int16_t out[2 * MixBlockFrames];
        OpenSoundMixer();
        Sound.listenerPosition = &here;
        PlayVoice(&here, false, id);
        for (int block = 0; block < 400 && VoiceActive(id); ++block) MixBlock(out);
        EXPECT_FALSE(VoiceActive(id));
    }
};

}  // namespace

TEST_F(MalformedWav, LengthsNearFourGigabytesAreRefused) {
    const std::string fmt = Chunk("fmt ", PcmFormat(1, 11025, 16));
    EXPECT_EQ(LoadBytes(Riff("fmt " + LittleEndian32(0xFFFFFFFF) + PcmFormat(1, 11025, 16))), WavBadFormat);
    EXPECT_EQ(LoadBytes(Riff(fmt + "LIST" + LittleEndian32(0xFFFFFFFF) + "data" + LittleEndian32(2) + "ab")),
              WavNoData);
    EXPECT_EQ(LoadBytes(Riff(fmt + "LIST" + LittleEndian32(0xFFFFFFF8) + std::string(8, 'x'))), WavNoData);
    EXPECT_EQ(LoadBytes(Riff(fmt + "data" + LittleEndian32(0xFFFFFFFF) + "abcd")), WavDataPastEnd);
    EXPECT_EQ(LoadBytes(Riff(Chunk("fmt ", "") + Chunk("data", "abcd"))), WavBadFormat);
    EXPECT_EQ(Sound.voiceCount, 0);
}

TEST_F(MalformedWav, PcmFieldsOfZeroOnlyMatterForTheSampleSize) {
    // The mixer plays 16-bit mono at 11025 Hz whatever the file says, so channels, rate
    // and block align of 0 divide nothing; bits of 0 are refused.
    std::string zeros = PcmFormat(0, 0, 16);
    zeros.replace(12, 2, LittleEndian16(0));  // block align
    const int id = LoadBytes(Riff(Chunk("fmt ", zeros) + Chunk("data", std::string(10, '\x20'))));
    ASSERT_EQ(id, 0);
    EXPECT_EQ(Sound.voices[0].length, 5);
    PlayToTheEnd(id);
    EXPECT_EQ(LoadBytes(Riff(Chunk("fmt ", PcmFormat(0, 0, 0)) + Chunk("data", "abcd"))), WavBadSampleSize);
    // An odd data length keeps its last byte out of the samples.
    const int odd = LoadBytes(Riff(Chunk("fmt ", PcmFormat(1, 11025, 16)) + Chunk("data", "abc")));
    ASSERT_EQ(odd, 1);
    EXPECT_EQ(Sound.voices[1].length, 1);
}

TEST_F(MalformedWav, AdpcmFormatsWithZerosOrCutShortAreRefused) {
    const std::string good = AdpcmFormat();
    const int id = LoadBytes(AdpcmWav(good));
    ASSERT_EQ(id, 0);  // the hand-made file itself is fine
    EXPECT_GT(Sound.voices[0].length, 0);
    PlayToTheEnd(id);
    CloseSoundOutput();

    const struct {
        const char* what;
        std::string format;
    } cases[] = {
        {"channels 0", Patched(good, 2, 0)},
        {"rate 0", Patched(Patched(good, 4, 0), 6, 0)},
        {"block align 0", Patched(good, 12, 0)},
        {"block align of the header alone", Patched(good, 12, 7)},
        {"bits 0", Patched(good, 14, 0)},
        {"coefficient count 0", Patched(good, 20, 0)},
        {"coefficient count 65535", Patched(good, 20, 65535)},
        {"extension size 0", Patched(good, 16, 0)},
        {"fmt of the wave fields only", good.substr(0, 16)},
        {"fmt without the coefficient count", good.substr(0, 20)},
        {"fmt cut inside the coefficients", good.substr(0, 33)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LoadBytes(AdpcmWav(c.format)), WavConversionFailed) << c.what;
        EXPECT_EQ(Sound.voiceCount, 0) << c.what;
    }
}

TEST_F(MalformedWav, EveryTruncationOfAnAdpcmFileIsRefused) {
    const std::string file = AdpcmWav(AdpcmFormat());
    ASSERT_EQ(LoadBytes(file), 0);
    CloseSoundOutput();
    // Cut in the header, the format, the data's header or the data (whose length then
    // runs past the end): refused, with no slot taken.
    for (size_t n = 0; n < file.size(); n += (n < 120 ? 1 : 37)) {
        EXPECT_LT(LoadBytes(file.substr(0, n)), 0) << n;
        ASSERT_EQ(Sound.voiceCount, 0) << n;
    }
}

TEST(MalformedMidi, HugeAndOverlongLengthsEndTheTrackCleanly) {
    auto player = std::make_unique<MidiPlayer>();
    const std::string good = [] {
        MidiTrackBuilder t;
        t.NoteOn(0, 0, 60, 100).NoteOn(10, 0, 60, 0).EndOfTrack();
        return t.Chunk();
    }();
    const struct {
        const char* what;
        std::string event;  // after a delta of 0
    } cases[] = {
        {"meta length of 2^28 - 1", "\xFF\x01\xFF\xFF\xFF\x7F" "a"},
        {"meta length of five bytes", std::string("\xFF\x01\x81\x80\x80\x80\x00" "a", 8)},
        {"tempo length of 2^28 - 1", "\xFF\x51\xFF\xFF\xFF\x7F\x07\xA1\x20"},
        {"system exclusive of 2^28 - 1", "\xF0\xFF\xFF\xFF\x7F\x01\x02"},
        {"end of track type with nothing after", "\xFF"},
    };
    for (const auto& c : cases) {
        MidiTrackBuilder t;
        t.NoteOn(0, 0, 50, 60);
        t.bytes += std::string(1, '\0') + c.event;
        const std::string file = MidiHeader(1, 2, 96) + t.Chunk() + good;
        std::vector<uint8_t> bytes(file.begin(), file.end());
        int damaged = -1;
        ASSERT_TRUE(LoadMidiFromMemory(*player, bytes.data(), bytes.size(), &damaged)) << c.what;
        EXPECT_EQ(damaged, 1) << c.what;
        EXPECT_EQ(player->eventCount, 3) << c.what;  // the note before, and the later track
        EXPECT_EQ(player->ticksPerStep, 10) << c.what;
    }

    // Chunk lengths of 0xFFFFFFFF: the header's is skipped to the end of the file, a
    // track's is read up to it.
    std::string header = MidiHeader(0, 1, 96);
    header.replace(4, 4, MidiBigEndian(0xFFFFFFFF, 4));
    std::vector<uint8_t> bytes(header.begin(), header.end());
    ASSERT_TRUE(LoadMidiFromMemory(*player, bytes.data(), bytes.size()));
    EXPECT_EQ(player->eventCount, 0);
    std::string track = MidiHeader(0, 1, 96) + good;
    track.replace(18, 4, MidiBigEndian(0xFFFFFFFF, 4));
    bytes.assign(track.begin(), track.end());
    int damaged = -1;
    ASSERT_TRUE(LoadMidiFromMemory(*player, bytes.data(), bytes.size(), &damaged));
    EXPECT_EQ(damaged, 1);
    EXPECT_EQ(player->eventCount, 2);
}

TEST(MalformedMidi, ALaterRefusedHeaderLeavesNoEventsAndAClockThatRuns) {
    // The first track loads notes and a tempo so slow the clock would stand still; then a
    // second header of format 2 refuses the file. Nothing of the first part may remain.
    auto player = std::make_unique<MidiPlayer>();
    MidiTrackBuilder t;
    t.Tempo(0, 0xFFFFFF).NoteOn(0, 0, 60, 100).NoteOn(10, 0, 60, 0).EndOfTrack();
    const std::string file = MidiHeader(1, 2, 480) + t.Chunk() + MidiHeader(2, 1, 96);
    std::vector<uint8_t> bytes(file.begin(), file.end());
    EXPECT_FALSE(LoadMidiFromMemory(*player, bytes.data(), bytes.size()));
    EXPECT_EQ(player->eventCount, 0);
    EXPECT_GE(player->ticksPerStep, 1);
}

TEST(MalformedMidi, AZeroByteTuneIsReportedAndLeavesTheMusicOff) {
    TempDir dir;
    SetMediaFolderOverride(dir.path.c_str());
    auto player = std::make_unique<MidiPlayer>();
    ErrorCapture errors;
    dir.Write("RuleBrittany.mid", "");
    EXPECT_FALSE(LoadMidiFile(*player));
    ASSERT_EQ(errors.reports.size(), 1u);
    EXPECT_EQ(errors.reports[0].message, "Unable to load the music file:");
    EXPECT_EQ(player->eventCount, 0);
    SetMediaFolderOverride(nullptr);
}
