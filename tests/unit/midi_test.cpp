#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "core/services.h"
#include "audio/music.h"
#include "platform/midi_out.h"
#include "support/error_capture.h"
#include "support/midi_builder.h"
#include "support/temp_dir.h"

namespace {

// The player holds a 65536-event table: keep it off the stack.
std::unique_ptr<MidiPlayer> NewPlayer() { return std::make_unique<MidiPlayer>(); }

// Loads from an exactly sized heap copy so that any read past the end is caught by the
// address sanitizer build.
bool Load(MidiPlayer& player, const std::string& file, int* damaged = nullptr) {
    std::vector<uint8_t> bytes(file.begin(), file.end());
    return LoadMidiFromMemory(player, bytes.data(), bytes.size(), damaged);
}

struct SentMessages {
    std::mutex mutex;
    std::vector<uint32_t> messages;
    static void Hook(void* user, uint32_t message) {
        auto* self = static_cast<SentMessages*>(user);
        std::lock_guard<std::mutex> lock(self->mutex);
        self->messages.push_back(message);
    }
    std::vector<uint32_t> Take() {
        std::lock_guard<std::mutex> lock(mutex);
        std::vector<uint32_t> out;
        out.swap(messages);
        return out;
    }
};

std::vector<uint32_t> AllOffMessages() {
    std::vector<uint32_t> out;
    for (uint32_t c = 0; c < 16; ++c) {
        out.push_back(0x78B0 + c);
        out.push_back(0x7BB0 + c);
    }
    return out;
}

MidiTrackBuilder OneNoteTrack() {
    MidiTrackBuilder t;
    t.NoteOn(0, 0, 60, 100).NoteOn(10, 0, 60, 0).EndOfTrack();
    return t;
}

}  // namespace

TEST(MidiLoad, TempoInTheFirst120TicksSetsTheStep) {
    auto player = NewPlayer();
    MidiTrackBuilder t;
    t.Tempo(0, 500000).NoteOn(0, 0, 60, 100).EndOfTrack();
    ASSERT_TRUE(Load(*player, MidiFile(0, 96, {t})));
    EXPECT_EQ(player->ticksPerStep, 1);  // trunc(960 / 500)
    ASSERT_EQ(player->eventCount, 1);  // the tempo is not a channel message

    ASSERT_TRUE(Load(*player, MidiFile(0, 480, {t})));
    EXPECT_EQ(player->ticksPerStep, 9);  // trunc(4800 / 500): the fraction is dropped

    MidiTrackBuilder early, late;
    early.Tempo(119, 250000).EndOfTrack();
    late.Tempo(120, 250000).EndOfTrack();
    ASSERT_TRUE(Load(*player, MidiFile(0, 480, {early})));
    EXPECT_EQ(player->ticksPerStep, 19);
    ASSERT_TRUE(Load(*player, MidiFile(0, 480, {late})));
    EXPECT_EQ(player->ticksPerStep, 10);

    // Every track of a format-1 file starts at tick 0, so a later track's early tempo counts.
    MidiTrackBuilder notes;
    notes.NoteOn(200, 0, 60, 100).EndOfTrack();
    MidiTrackBuilder conductor;
    conductor.Tempo(0, 1000000).EndOfTrack();
    ASSERT_TRUE(Load(*player, MidiFile(1, 480, {notes, conductor})));
    EXPECT_EQ(player->ticksPerStep, 4);
}

TEST(MidiLoad, SmpteDivisionGivesTicksPerStepAndIgnoresTempo) {
    auto player = NewPlayer();
    MidiTrackBuilder t;
    t.Tempo(0, 500000).EndOfTrack();
    // 25 frames per second (-25 = 0xE7) x 40 ticks per frame = exactly 1 tick per ms.
    ASSERT_TRUE(Load(*player, MidiFile(0, 0xE728, {t})));
    EXPECT_EQ(player->ticksPerStep, 10);
    // 30 x 80 = 2.4 ticks per ms.
    ASSERT_TRUE(Load(*player, MidiFile(0, 0xE250, {t})));
    EXPECT_EQ(player->ticksPerStep, 24);
}

TEST(MidiLoad, TooSlowAClockStillAdvances) {
    // 96 ticks per quarter at 60 beats per minute truncates to 0.96 -> 0 ticks per step,
    // which would stop the tune for good; the clock keeps at least 1 tick per step.
    auto player = NewPlayer();
    MidiTrackBuilder t;
    t.Tempo(0, 1000000).NoteOn(0, 0, 60, 100).EndOfTrack();
    ASSERT_TRUE(Load(*player, MidiFile(0, 96, {t})));
    EXPECT_EQ(player->ticksPerStep, 1);
    ASSERT_TRUE(Load(*player, MidiFile(0, 0xE700, {t})));  // SMPTE with 0 ticks per frame
    EXPECT_EQ(player->ticksPerStep, 1);
}

TEST(MidiLoad, FormatOneTracksMergeInTrackOrderAtEqualTicks) {
    auto player = NewPlayer();
    MidiTrackBuilder first, second, third;
    first.Tempo(0, 500000).Event(0, {0xC0, 5}).EndOfTrack();
    second.NoteOn(5, 1, 62, 90).NoteOn(5, 1, 64, 90).Event(10, {0xE1, 0x00, 0x40}).EndOfTrack();
    third.NoteOn(0, 2, 40, 80).NoteOn(10, 2, 41, 80).Event(20, {0xB2, 7, 100}).EndOfTrack();
    ASSERT_TRUE(Load(*player, MidiFile(1, 480, {first, second, third})));
    ASSERT_EQ(player->eventCount, 7);
    const int32_t times[] = {0, 0, 5, 10, 10, 20, 30};
    const uint8_t statuses[] = {0xC0, 0x92, 0x91, 0x91, 0x92, 0xE1, 0xB2};
    const uint8_t keys[] = {5, 40, 62, 64, 41, 0, 7};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(player->events[i].time, times[i]) << i;
        EXPECT_EQ(player->events[i].status, statuses[i]) << i;
        EXPECT_EQ(player->events[i].data1, keys[i]) << i;
        EXPECT_EQ(player->events[i].zero, 0) << i;
    }
    // Program change: two bytes, data2 = 0; packed as the short message.
    EXPECT_EQ(PackedMessage(player->events[0]), 0x05C0u);
    EXPECT_EQ(PackedMessage(player->events[6]), 0x6407B2u);
}

TEST(MidiLoad, FormatZeroKeepsTimeAcrossTracksAndRunningStatus) {
    auto player = NewPlayer();
    MidiTrackBuilder t;
    t.NoteOn(0, 3, 60, 100).Event(4, {62, 101}).Event(4, {64, 0}).EndOfTrack();
    ASSERT_TRUE(Load(*player, MidiFile(0, 96, {t})));
    ASSERT_EQ(player->eventCount, 3);
    EXPECT_EQ(PackedMessage(player->events[1]), 0x653E93u);
    EXPECT_EQ(player->events[2].time, 8);
}

TEST(MidiLoad, The65537thMessageIsDropped) {
    auto player = NewPlayer();
    MidiTrackBuilder t;
    for (int i = 0; i < MaxMidiEvents; ++i) t.NoteOn(i == 0 ? 0 : 1, 0, i % 128, 1 + (i / 128) % 127);
    t.NoteOn(1, 9, 99, 99);  // the 65537th
    t.EndOfTrack();
    int damaged = -1;
    ASSERT_TRUE(Load(*player, MidiFile(0, 96, {t}), &damaged));
    EXPECT_EQ(damaged, 0);
    EXPECT_EQ(player->eventCount, MaxMidiEvents);
    const MidiEvent& last = player->events[MaxMidiEvents - 1];
    EXPECT_EQ(last.status, 0x90);
    EXPECT_EQ(last.data1, (MaxMidiEvents - 1) % 128);
    EXPECT_EQ(last.time, MaxMidiEvents - 1);
}

TEST(MidiLoad, RefusedHeaders) {
    auto player = NewPlayer();
    std::string track = OneNoteTrack().Chunk();
    EXPECT_FALSE(Load(*player, MidiHeader(2, 1, 96) + track));  // format 2
    EXPECT_FALSE(Load(*player, "MThd" + MidiBigEndian(5, 4) + std::string(5, '\0') + track));
    EXPECT_FALSE(Load(*player, track));  // no header at all
    EXPECT_FALSE(Load(*player, "MThd" + MidiBigEndian(6, 4) + std::string(3, '\0')));  // cut short
    EXPECT_FALSE(Load(*player, ""));
    EXPECT_FALSE(LoadMidiFromMemory(*player, nullptr, 100));
    // A longer header is fine: its extra bytes are skipped.
    EXPECT_TRUE(Load(*player, "MThd" + MidiBigEndian(8, 4) + MidiBigEndian(0, 2) + MidiBigEndian(1, 2) +
                                  MidiBigEndian(96, 2) + "xx" + track));
    EXPECT_EQ(player->eventCount, 2);
}

TEST(MidiLoad, DamagedTracksEndCleanlyAndLaterTracksStillLoad) {
    auto player = NewPlayer();
    const std::string good = OneNoteTrack().Chunk();  // 2 events
    struct Case {
        const char* name;
        MidiTrackBuilder track;
        int eventsKept;
    };
    std::vector<Case> cases;
    {
        MidiTrackBuilder t;  // a variable-length delta of five bytes
        t.NoteOn(0, 0, 50, 60).Raw({0x81, 0x81, 0x81, 0x81, 0x01, 0x90, 50, 0});
        cases.push_back({"overlong delta", t, 1});
    }
    {
        MidiTrackBuilder t;  // running status before any status byte
        t.Event(0, {60, 100}).NoteOn(0, 0, 50, 60);
        cases.push_back({"running status without status", t, 0});
    }
    {
        MidiTrackBuilder t;  // running status after a meta event, which cancels it
        t.NoteOn(0, 0, 50, 60).Event(0, {0xFF, 0x01, 0x01, 'x'}).Event(0, {60, 100});
        cases.push_back({"running status after meta", t, 1});
    }
    {
        MidiTrackBuilder t;  // a text meta event claiming more bytes than the track holds
        t.NoteOn(0, 0, 50, 60).Event(0, {0xFF, 0x01, 0x7F, 'a', 'b'});
        cases.push_back({"meta length past the end", t, 1});
    }
    {
        MidiTrackBuilder t;  // a tempo cut short
        t.NoteOn(0, 0, 50, 60).Event(0, {0xFF, 0x51, 0x03, 0x07});
        cases.push_back({"tempo past the end", t, 1});
    }
    {
        MidiTrackBuilder t;  // system exclusive with a length past the end
        t.NoteOn(0, 0, 50, 60).Event(0, {0xF0, 0x8F, 0x7F, 0x01});
        cases.push_back({"sysex length past the end", t, 1});
    }
    {
        MidiTrackBuilder t;  // a note on missing its velocity
        t.NoteOn(0, 0, 50, 60).Event(0, {0x90, 50});
        cases.push_back({"channel message cut short", t, 1});
    }
    {
        MidiTrackBuilder t;  // a delta with nothing after it
        t.NoteOn(0, 0, 50, 60).Event(0, {});
        cases.push_back({"delta without event", t, 1});
    }
    for (const Case& c : cases) {
        int damaged = -1;
        ASSERT_TRUE(Load(*player, MidiHeader(1, 2, 96) + c.track.Chunk() + good, &damaged)) << c.name;
        EXPECT_EQ(damaged, 1) << c.name;
        EXPECT_EQ(player->eventCount, c.eventsKept + 2) << c.name;
    }

    // A track whose length runs past the end of the file is read up to the end.
    std::string file = MidiHeader(0, 1, 96) + good;
    file[MidiHeader(0, 1, 96).size() + 7] = 0x40;  // claims 64 bytes
    int damaged = -1;
    ASSERT_TRUE(Load(*player, file, &damaged));
    EXPECT_EQ(damaged, 1);
    EXPECT_EQ(player->eventCount, 2);

    // A chunk length that stops with the file.
    ASSERT_TRUE(Load(*player, MidiHeader(0, 1, 96) + "MTrk\0\0", &damaged));
    EXPECT_EQ(player->eventCount, 0);
}

TEST(MidiLoad, EveryPrefixAndAnyNoiseLoadsWithinBounds) {
    auto player = NewPlayer();
    MidiTrackBuilder a, b;
    a.Tempo(0, 400000).Event(0, {0xF0, 0x03, 1, 2, 0xF7}).NoteOn(3, 0, 60, 100).Event(2, {61, 0});
    a.Event(0, {0xFF, 0x58, 0x04, 4, 2, 24, 8}).EndOfTrack();
    b.Event(0, {0xE1, 0, 64}).Event(0, {0xD1, 5}).NoteOn(7, 1, 70, 70).EndOfTrack();
    std::string file = MidiFile(1, 96, {a, b});
    for (size_t n = 0; n <= file.size(); ++n) {
        Load(*player, file.substr(0, n));
        ASSERT_LE(player->eventCount, 6) << n;
        for (int i = 1; i < player->eventCount; ++i) ASSERT_LE(player->events[i - 1].time, player->events[i].time);
    }
    // Chunk ids the loader knows, followed by bytes from a fixed generator.
    uint32_t seed = 12345;
    for (int round = 0; round < 200; ++round) {
        std::string noise = MidiHeader(round % 2, 3, 96) + "MTrk" + MidiBigEndian(40, 4);
        for (int i = 0; i < 60; ++i) {
            seed = seed * 1103515245u + 12345u;
            noise += static_cast<char>(seed >> 24);
        }
        Load(*player, noise);
        ASSERT_LE(player->eventCount, 30);
        ASSERT_GE(player->ticksPerStep, 1);
    }
}

TEST(MidiLoad, HugeDeltasStayWithinTheClockRange) {
    auto player = NewPlayer();
    MidiTrackBuilder t;
    for (int i = 0; i < 40; ++i) t.NoteOn(0x0FFFFFFF, 0, 60, 100);
    t.EndOfTrack();
    ASSERT_TRUE(Load(*player, MidiFile(0, 96, {t})));
    ASSERT_EQ(player->eventCount, 40);
    EXPECT_EQ(player->events[39].time, MaxMidiEventTime);
}

TEST(MusicTick, SendsDueEventsAndRestartsAfterTheLast) {
    auto player = NewPlayer();
    SentMessages sent;
    player->messageHook = SentMessages::Hook;
    player->hookUser = &sent;
    MidiTrackBuilder t;
    t.NoteOn(0, 0, 60, 100).NoteOn(10, 0, 62, 100).NoteOn(5, 0, 64, 100).EndOfTrack();  // ticks 0, 10, 15
    ASSERT_TRUE(Load(*player, MidiFile(0, 96, {t})));
    ASSERT_EQ(player->ticksPerStep, 10);
    player->playing = true;

    ASSERT_TRUE(MusicTick(*player));  // clock 10: tick 0 only (strictly before the clock)
    EXPECT_EQ(sent.Take(), (std::vector<uint32_t>{0x643C90}));
    ASSERT_TRUE(MusicTick(*player));  // clock 20: ticks 10 and 15, then the song restarts
    EXPECT_EQ(sent.Take(), (std::vector<uint32_t>{0x643E90, 0x644090}));
    EXPECT_EQ(player->songTime, 0);
    EXPECT_EQ(player->nextEvent, 0);
    ASSERT_TRUE(MusicTick(*player));  // clock 10 again: from the top
    EXPECT_EQ(sent.Take(), (std::vector<uint32_t>{0x643C90}));

    // An empty song just keeps restarting.
    player->eventCount = 0;
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(MusicTick(*player));
    EXPECT_TRUE(sent.Take().empty());
    EXPECT_EQ(player->songTime, 0);
}

TEST(MusicTick, ClearedPlayingSilencesAndEndsTheTimer) {
    auto player = NewPlayer();
    SentMessages sent;
    player->messageHook = SentMessages::Hook;
    player->hookUser = &sent;
    player->playing = false;
    player->silenced = false;
    EXPECT_FALSE(MusicTick(*player));
    EXPECT_TRUE(player->silenced);
    EXPECT_EQ(sent.Take(), AllOffMessages());
}

TEST(MusicPlayer, StartAndStopHandshakeOnTheTimerThread) {
    TempDir dir;
    MidiTrackBuilder t;
    for (int i = 0; i < 400; ++i) t.NoteOn(i == 0 ? 0 : 5, 0, 40 + i % 40, 90);
    t.EndOfTrack();
    dir.Write("RuleBrittany.mid", MidiFile(0, 96, {t}));
    SetMediaFolderOverride(dir.path.c_str());

    auto player = NewPlayer();
    SentMessages sent;
    player->messageHook = SentMessages::Hook;
    player->hookUser = &sent;
    OpenMidiPlayer(*player, nullptr);  // messages reach the hook only
    ASSERT_TRUE(player->deviceOpen);
    StartMusic(*player);
    ASSERT_TRUE(player->playing);
    EXPECT_FALSE(player->silenced);
    EXPECT_EQ(player->eventCount, 400);

    // At 10 ticks per 10 ms step, the first notes arrive within a few steps.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    size_t received = 0;
    std::vector<uint32_t> all;
    while (received < 3 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        for (uint32_t m : sent.Take()) all.push_back(m);
        received = all.size();
    }
    ASSERT_GE(received, 3u);
    EXPECT_EQ(all[0], 0x5A2890u);
    EXPECT_EQ(all[1], 0x5A2990u);

    StopMusic(*player);
    EXPECT_FALSE(player->playing);
    EXPECT_TRUE(player->silenced);
    EXPECT_FALSE(player->deviceOpen);
    EXPECT_EQ(player->eventCount, 0);
    EXPECT_EQ(player->timer, nullptr);
    // The timer silenced the channels, then the stop did once more; nothing came after.
    std::vector<uint32_t> tail = sent.Take();
    ASSERT_GE(tail.size(), 64u);
    std::vector<uint32_t> lastSixtyFour(tail.end() - 64, tail.end());
    std::vector<uint32_t> twice = AllOffMessages();
    twice.insert(twice.end(), twice.begin(), twice.end());
    EXPECT_EQ(lastSixtyFour, twice);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(sent.Take().empty());

    // Stopped for good: a start does nothing now, a second stop neither.
    StartMusic(*player);
    EXPECT_FALSE(player->playing);
    StopMusic(*player);
    SetMediaFolderOverride(nullptr);
}

TEST(MusicPlayer, MissingTuneIsSilentAndBadTunesAreReported) {
    TempDir dir;
    SetMediaFolderOverride(dir.path.c_str());
    auto player = NewPlayer();
    ErrorCapture errors;

    EXPECT_FALSE(LoadMidiFile(*player));
    EXPECT_TRUE(errors.reports.empty());

    dir.Write("RuleBrittany.mid", MidiHeader(2, 1, 96) + OneNoteTrack().Chunk());
    EXPECT_FALSE(LoadMidiFile(*player));
    ASSERT_EQ(errors.reports.size(), 1u);
    EXPECT_EQ(errors.reports[0].message, "Unable to load the music file:");
    EXPECT_NE(errors.reports[0].detail.find("RuleBrittany.mid"), std::string::npos);

    MidiTrackBuilder cut;
    cut.NoteOn(0, 0, 60, 100).Event(0, {0x90, 60});
    dir.Write("RuleBrittany.mid", MidiFile(0, 96, {cut}));
    EXPECT_TRUE(LoadMidiFile(*player));  // what was read before the damage still plays
    EXPECT_EQ(player->eventCount, 1);
    ASSERT_EQ(errors.reports.size(), 2u);
    EXPECT_EQ(errors.reports[1].message, "Damaged music file:");

    // A player whose device did not open does nothing at all.
    auto closed = NewPlayer();
    OpenMidiPlayer(*closed, nullptr);
    EXPECT_FALSE(closed->deviceOpen);
    StartMusic(*closed);
    EXPECT_FALSE(closed->playing);
    EXPECT_EQ(errors.reports.size(), 2u);  // not even loaded
    SetMediaFolderOverride(nullptr);
}

namespace {

int PeakOf(const std::vector<int16_t>& samples) {
    int peak = 0;
    for (int16_t s : samples) peak = std::max(peak, std::abs(static_cast<int>(s)));
    return peak;
}

}  // namespace

TEST(MidiOut, ANoteOnFromThePlayerReachesTheSynthesiser) {
    MidiOut* synth = OpenMidiRenderer(44100);
    ASSERT_NE(synth, nullptr) << "the General MIDI SoundFont (fluid-soundfont-gm) is missing";
    std::vector<int16_t> buffer(2 * 4410);
    ASSERT_TRUE(RenderMidiOut(synth, buffer.data(), 4410));
    EXPECT_LT(PeakOf(buffer), 8);  // nothing played yet: dither only

    auto player = NewPlayer();
    MidiTrackBuilder t;
    t.Event(0, {0xC0, 0}).NoteOn(0, 0, 60, 110).EndOfTrack();  // piano, middle C
    ASSERT_TRUE(Load(*player, MidiFile(0, 96, {t})));
    OpenMidiPlayer(*player, synth);
    player->playing = true;
    ASSERT_TRUE(MusicTick(*player));
    ASSERT_TRUE(RenderMidiOut(synth, buffer.data(), 4410));
    int notePeak = PeakOf(buffer);
    EXPECT_GT(notePeak, 500);

    // All Sound Off cuts the held note; only the reverb's tail fades out after it.
    player->playing = false;
    EXPECT_FALSE(MusicTick(*player));
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(RenderMidiOut(synth, buffer.data(), 4410));
    EXPECT_LT(PeakOf(buffer), notePeak / 20);
    CloseMidiPlayer(*player);  // closes the synthesiser too
    EXPECT_EQ(player->device, nullptr);
}

TEST(MidiOut, AChannelTheTuneGaveNoProgramPlaysTheDefaultInstrument) {
    for (uint32_t channel : {1u, 9u}) {  // the piano; the drum kit on channel 10
        MidiOut* synth = OpenMidiRenderer(44100);
        ASSERT_NE(synth, nullptr);
        std::vector<int16_t> buffer(2 * 4410);
        SendMidiShortMessage(synth, 0x90 | channel | 38 << 8 | 110 << 16);
        ASSERT_TRUE(RenderMidiOut(synth, buffer.data(), 4410));
        EXPECT_GT(PeakOf(buffer), 500) << "channel " << channel;
        CloseMidiOut(synth);
    }
}

TEST(MidiOut, OpeningTheOutputIsQuietWhateverTheMachineHas) {
    // Headless (as under CTest, where SDL's audio is the dummy driver) the synthesiser finds
    // no audio output and the music stays off; FluidSynth and ALSA would otherwise print a
    // screenful of errors. On a machine with sound the output opens; either way, silently.
    testing::internal::CaptureStderr();
    for (int i = 0; i < 2; ++i) {
        OpenMidiPlayer();
        StartMusic();  // no tune in the test's media folder: nothing plays
        EXPECT_FALSE(MusicPlayer.playing);
        CloseMidiPlayer();
        EXPECT_FALSE(MusicPlayer.deviceOpen);
        EXPECT_EQ(MusicPlayer.device, nullptr);
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}
