// The tune: a format-1 Standard MIDI File whose tempo gives the player a whole number of
// ticks per 10 ms step, with instrument tracks full of notes.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "support/media.h"
#include "support/media_files.h"

TEST(MediaTune, FormatOneWithTheTempoAtTickZeroGivingWholeTicksPerStep) {
    if (GeneratedMediaDir().empty()) GTEST_SKIP() << "KELVANE_MEDIA_DIR is not set";
    TuneFile midi = ReadTune(GeneratedMediaDir() + "/RuleBrittany.mid");
    ASSERT_EQ(midi.error, "");
    EXPECT_EQ(midi.format, 1);
    ASSERT_EQ(static_cast<int>(midi.tracks.size()), midi.trackCount);
    ASSERT_GE(midi.trackCount, 4);
    ASSERT_GT(midi.division, 0);
    ASSERT_LT(midi.division, 0x8000) << "ticks per quarter note, not SMPTE";
    uint32_t tempo = 0;
    for (const TuneEvent& e : midi.tracks[0]) {
        EXPECT_EQ(e.status, 0xFF) << "the tempo track holds meta events only";
        if (e.status == 0xFF && e.data[0] == 0x51) {
            ASSERT_EQ(e.data.size(), 4u);
            EXPECT_EQ(e.tick, 0);
            tempo = static_cast<uint32_t>(e.data[1]) << 16 | e.data[2] << 8 | e.data[3];
        }
    }
    ASSERT_GT(tempo, 0u);
    // The player steps trunc(division * 10 / (tempo / 1000)) ticks per 10 ms: exact here.
    EXPECT_EQ((static_cast<uint64_t>(midi.division) * 10000) % tempo, 0u);
    EXPECT_EQ(static_cast<uint64_t>(midi.division) * 10000 / tempo, 10u);
}

TEST(MediaTune, InstrumentTracksPlayNotesThatAllEnd) {
    if (GeneratedMediaDir().empty()) GTEST_SKIP() << "KELVANE_MEDIA_DIR is not set";
    TuneFile midi = ReadTune(GeneratedMediaDir() + "/RuleBrittany.mid");
    ASSERT_EQ(midi.error, "");
    int instrumentTracks = 0, notes = 0, channelMessages = 0;
    for (const auto& track : midi.tracks) {
        bool program = false, played = false;
        std::map<int, int> sounding;  // (channel, pitch) -> open note-ons
        for (const TuneEvent& e : track) {
            if (e.status == 0xFF) {
                // The player skips these meta events by fixed lengths.
                if (e.data[0] == 0x58) {
                    EXPECT_EQ(e.data.size(), 5u);
                }
                if (e.data[0] == 0x54) {
                    EXPECT_EQ(e.data.size(), 6u);
                }
                continue;
            }
            ++channelMessages;
            int kind = e.status & 0xF0, key = (e.status & 0x0F) * 128 + e.data[0];
            if (kind == 0xC0) program = true;
            if (kind == 0x90 && e.data[1] > 0) {
                EXPECT_TRUE(program || (e.status & 0x0F) == 9) << "a program before the first note";
                played = true;
                ++notes;
                ++sounding[key];
            } else if (kind == 0x80 || (kind == 0x90 && e.data[1] == 0)) {
                EXPECT_GT(sounding[key], 0) << "a note-off without its note";
                --sounding[key];
            }
        }
        for (const auto& s : sounding) EXPECT_EQ(s.second, 0) << "a note that never ends";
        if (program && played) ++instrumentTracks;
    }
    EXPECT_GE(instrumentTracks, 3);
    EXPECT_GT(notes, 200);
    EXPECT_LT(channelMessages, 65536) << "the player keeps at most 65536";
}
