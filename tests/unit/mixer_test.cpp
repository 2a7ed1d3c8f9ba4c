#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "core/services.h"
#include "audio/mixer.h"
#include "audio/sound_system.h"
#include "platform/audio_device.h"

namespace {

uint32_t clockMs = 0;
uint32_t TestClock() { return clockMs; }

// A sound whose sample k is start + k * step (wrapping in 16 bits), so the output tells
// which sample each frame read.
int AddSound(int length, int start = 1, int step = 1) {
    int16_t* samples = static_cast<int16_t*>(std::malloc(sizeof(int16_t) * length));
    for (int k = 0; k < length; ++k) samples[k] = static_cast<int16_t>(start + k * step);
    return AddVoiceSlot(samples, length, false);
}

int AddConstantSound(int length, int16_t value) {
    int16_t* samples = static_cast<int16_t*>(std::malloc(sizeof(int16_t) * length));
    for (int k = 0; k < length; ++k) samples[k] = value;
    return AddVoiceSlot(samples, length, false);
}

struct MixerTest : testing::Test {
    Vec3 listener{100, 20, -300};
    Vec3 axis{0, 0, 1};
    Vec3 source{};
    std::vector<int16_t> out = std::vector<int16_t>(2 * MixBlockFrames);

    void SetUp() override {
        CloseSoundOutput();
        clockMs = 10000;
        SetClockSource(TestClock);
        Sound.listenerPosition = &listener;
        Sound.listenerAxis = &axis;
        Sound.audibleRange = 7500.0f;
        source = listener;
        OpenSoundMixer();
    }
    void TearDown() override {
        CloseSoundOutput();
        SetClockSource(nullptr);
        Sound.listenerPosition = nullptr;
        Sound.listenerAxis = nullptr;
    }
    void Mix() { MixBlock(out.data()); }
    int16_t Left(int frame) const { return out[2 * frame]; }
    int16_t Right(int frame) const { return out[2 * frame + 1]; }
    bool Silent() const {
        for (int16_t v : out)
            if (v != 0) return false;
        return true;
    }
};

}  // namespace

TEST_F(MixerTest, SourceAtTheListenerIsHeardInBothEarsAtFullVolume) {
    int id = AddSound(3000);
    PlayVoice(&source, false, id);
    Mix();
    const Voice& v = Sound.voices[id];
    EXPECT_EQ(v.gainRight, 1.0f);
    EXPECT_EQ(v.gainLeft, 1.0f);
    EXPECT_EQ(v.leadRight, 0);
    EXPECT_EQ(v.leadLeft, 0);
    // No side leads: frame j plays sample j (value j + 1) on both sides.
    for (int j = 0; j < MixBlockFrames; ++j) {
        ASSERT_EQ(Left(j), j + 1) << j;
        ASSERT_EQ(Right(j), j + 1) << j;
    }
    // The next block starts by reading the last mixed sample again.
    EXPECT_EQ(v.cursor, 1023u);
    Mix();
    EXPECT_EQ(Left(0), 1023 + 1);
    EXPECT_EQ(Right(1), 1024 + 1);

    // Straight above the listener the distance fades both sides alike, still with no lead.
    source = listener + Vec3{0, 150, 0};
    PublishSoundPositions();
    Voice& w = Sound.voices[id];
    ASSERT_TRUE(UpdateVoiceSpatial(w));
    EXPECT_FLOAT_EQ(w.gainLeft, (7500.0f - 150.0f) / 7500.0f);
    EXPECT_EQ(w.gainLeft, w.gainRight);
    EXPECT_EQ(w.leadLeft, 0);
    EXPECT_EQ(w.leadRight, 0);
    EXPECT_EQ(w.back, 0.0f);
}

TEST_F(MixerTest, SidesFollowTheListenersAxis) {
    int id = AddSound(3000);
    Voice& v = Sound.voices[id];
    const float vol = (7500.0f - 10.0f) / 7500.0f;

    source = listener + Vec3{-10, 0, 0};
    PlayVoice(&source, true, id);
    clockMs += 20;  // 10 units: heard 20 ms later
    ASSERT_TRUE(UpdateVoiceSpatial(v));
    EXPECT_FLOAT_EQ(v.gainRight, vol);
    EXPECT_EQ(v.gainLeft, 0.0f);
    EXPECT_EQ(v.leadRight, 16);
    EXPECT_EQ(v.leadLeft, 0);

    source = listener + Vec3{10, 0, 0};
    PublishSoundPositions();
    ASSERT_TRUE(UpdateVoiceSpatial(v));
    EXPECT_FLOAT_EQ(v.gainLeft, vol);
    EXPECT_EQ(v.gainRight, 0.0f);
    EXPECT_EQ(v.leadLeft, 16);
    EXPECT_EQ(v.leadRight, 0);
    Mix();
    EXPECT_EQ(Right(5), 0);
    EXPECT_EQ(Left(5), static_cast<int16_t>((5 + 16 + 1) * vol));

    // Half way to the front on the left: the far side at 0.707 and a lead of 4.
    source = listener + Vec3{7.0710678f, 0, 7.0710678f};
    PublishSoundPositions();
    ASSERT_TRUE(UpdateVoiceSpatial(v));
    EXPECT_NEAR(v.gainRight, vol * 0.70710678f, 1e-4);
    EXPECT_EQ(v.leadLeft, 4);
    EXPECT_EQ(v.back, 0.0f);

    // An axis longer than 1 never gives a negative lead.
    axis = {0, 0, 2};
    PublishSoundPositions();
    ASSERT_TRUE(UpdateVoiceSpatial(v));
    EXPECT_EQ(v.leadLeft, 0);
    Mix();
}

TEST_F(MixerTest, SourceDirectlyBehindIsCentredAndDulled) {
    int id = AddConstantSound(3000, 1000);
    source = listener + Vec3{0, 0, -10};
    PlayVoice(&source, false, id);
    clockMs += 20;
    Mix();
    const Voice& v = Sound.voices[id];
    EXPECT_EQ(v.back, 1.0f);
    EXPECT_EQ(v.front, 0.0f);
    EXPECT_EQ(v.leadLeft, 0);
    EXPECT_EQ(v.leadRight, 0);
    // Each gained value is trunc(1000 * 0.99867) = 998; the output is the average of the
    // last 16, so it ramps up over the first 16 frames.
    for (int j = 0; j < 16; ++j) {
        ASSERT_EQ(Left(j), 998 * (j + 1) / 16) << j;
        ASSERT_EQ(Right(j), Left(j)) << j;
    }
    EXPECT_EQ(Left(500), 998);
    EXPECT_EQ(Right(1023), 998);
}

TEST_F(MixerTest, DistantSourceIsSilentButAdvances) {
    int id = AddSound(30000);
    for (float distance : {7500.0f, 9000.0f}) {
        source = listener + Vec3{0, 0, distance};
        PlayVoice(&source, true, id);
        clockMs += 20000;
        Mix();
        EXPECT_TRUE(Silent()) << distance;
        EXPECT_EQ(Sound.voices[id].cursor, 1023u) << distance;
        EXPECT_TRUE(VoiceActive(id));
    }
}

TEST_F(MixerTest, SoundTravelsFiveHundredUnitsPerSecond) {
    int id = AddConstantSound(30000, 2000);
    source = listener + Vec3{300, 0, 400};
    PlayVoice(&source, true, id);
    clockMs += 990;
    Mix();
    EXPECT_TRUE(Silent());
    EXPECT_EQ(Sound.voices[id].cursor, 0u);  // not advanced while the sound travels
    clockMs += 20;
    Mix();
    EXPECT_FALSE(Silent());
}

TEST_F(MixerTest, ApproachingSourcePlaysFaster) {
    int id = AddSound(30000);
    source = listener + Vec3{0, 0, 200};
    PlayVoice(&source, true, id);
    clockMs += 1000;
    source = listener + Vec3{0, 0, 100};  // 100 units closer since the start
    PublishSoundPositions();
    Mix();
    EXPECT_FLOAT_EQ(Sound.voices[id].rate, 2.0f);
    // No lead straight ahead: frame j reads sample 2j on both sides.
    const float vol = (7500.0f - 100.0f) / 7500.0f;
    EXPECT_EQ(Right(10), static_cast<int16_t>(21 * vol));
    EXPECT_EQ(Sound.voices[id].cursor, 2046u);

    // Receding fast enough for a negative rate: the position counts as past the end.
    source = listener + Vec3{0, 0, 500};
    PublishSoundPositions();
    Mix();
    EXPECT_LT(Sound.voices[id].rate, 0.0f);
    EXPECT_TRUE(VoiceActive(id));  // looped: it restarts at sample 0 every frame
    PlayVoice(&source, false, id);
    source = listener + Vec3{0, 0, 900};
    clockMs += 2000;
    PublishSoundPositions();
    Mix();
    EXPECT_FALSE(VoiceActive(id));
}

TEST_F(MixerTest, OneShotEndsSixteenSamplesBeforeItsEnd) {
    const int n = 2000;
    int id = AddSound(n);
    PlayVoice(&source, false, id);
    Mix();
    Mix();
    // The second block starts at sample 1023 and stops when the position reaches n - 16;
    // the last frame mixed read sample n - 17.
    int last = n - 16 - 1 - 1023;
    EXPECT_EQ(Right(last), n - 17 + 1);
    EXPECT_EQ(Right(last + 1), 0);
    EXPECT_FALSE(VoiceActive(id));
    Mix();
    EXPECT_TRUE(Silent());
}

TEST_F(MixerTest, LoopRestartsWithinTheBlock) {
    const int n = 600;
    int id = AddSound(n);
    PlayVoice(&source, true, id);
    Mix();
    EXPECT_EQ(Right(n - 17), n - 17 + 1);
    EXPECT_EQ(Right(n - 16), 0 + 1);  // restarted from sample 0
    EXPECT_EQ(Right(n - 15), 1 + 1);
    EXPECT_TRUE(VoiceActive(id));
    EXPECT_EQ(Sound.voices[id].cursor, static_cast<uint32_t>(1023 - (n - 16)));
}

TEST_F(MixerTest, SoundsOfSixteenSamplesOrFewerEndAtOnce) {
    int shortId = AddSound(16);
    int emptyId = AddSound(0);
    PlayVoice(&source, true, shortId);
    PlayVoice(&source, true, emptyId);
    Mix();
    EXPECT_TRUE(Silent());
    EXPECT_FALSE(VoiceActive(shortId));
    EXPECT_FALSE(VoiceActive(emptyId));
}

TEST_F(MixerTest, VoicesClipAtPlusAndMinus32767) {
    int a = AddConstantSound(3000, 30000);
    int b = AddConstantSound(3000, 30000);
    PlayVoice(&source, true, a);
    PlayVoice(&source, true, b);
    Mix();
    EXPECT_EQ(Right(100), 32767);
    EXPECT_EQ(Left(100), 32767);
    CloseSoundOutput();
    OpenSoundMixer();
    a = AddConstantSound(3000, -30000);
    b = AddConstantSound(3000, -32768);
    PlayVoice(&source, true, a);
    PlayVoice(&source, true, b);
    Mix();
    EXPECT_EQ(Right(100), -32767);
}

TEST_F(MixerTest, SharedVoicePlaysEightSamplesLater) {
    int engine = AddSound(3000);
    int enemy = ShareVoiceSamples(engine);
    ASSERT_EQ(enemy, engine + 1);
    const Voice& shared = Sound.voices[enemy];
    EXPECT_TRUE(shared.sharesSamples);
    EXPECT_EQ(shared.samples, Sound.voices[engine].samples + 8);
    EXPECT_EQ(shared.length, 3000 - 8);
    EXPECT_FALSE(shared.active.load());
    EXPECT_EQ(ShareVoiceSamples(-1), -1);
    EXPECT_EQ(ShareVoiceSamples(7), -1);
    PlayVoice(&source, false, enemy);
    Mix();
    EXPECT_EQ(Right(0), 8 + 1);
    // Closing frees the engine's samples once; the shared slot owns nothing.
    CloseSoundOutput();
    EXPECT_EQ(Sound.voiceCount, 0);
}

TEST_F(MixerTest, GameControlsAndIdsOutsideTheTable) {
    int id = AddSound(3000);
    PlayVoice(&source, true, -1);
    PlayVoice(&source, true, 5);
    PlayVoice(nullptr, true, id);
    EXPECT_FALSE(VoiceActive(id));
    Mix();
    EXPECT_TRUE(Silent());

    PlayVoice(&source, true, id);
    Sound.voices[id].volume = 0.5f;
    Mix();
    EXPECT_EQ(Right(10), 11 / 2);
    StopVoice(id);
    Mix();
    EXPECT_TRUE(Silent());
}

TEST_F(MixerTest, RingAdvancesAndClosedMixerIsSilent) {
    int id = AddConstantSound(100000, 500);
    PlayVoice(&source, true, id);
    for (int block = 1; block <= 32; ++block) {
        Mix();
        ASSERT_EQ(Sound.mixPos, static_cast<uint32_t>(block * 2048 % 65536));
        ASSERT_EQ(Right(7), 500);
    }
    // Every block is cleared after it is copied out.
    for (int k = 0; k < MixRingValues; ++k) ASSERT_EQ(Sound.mixRing[k], 0) << k;
    Sound.open = false;
    Mix();
    EXPECT_TRUE(Silent());
}

TEST_F(MixerTest, NoAudioDeviceMeansSilence) {
    CloseSoundOutput();
    const char* saved = std::getenv("SDL_AUDIODRIVER");
    std::string keep = saved ? saved : "";
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    OpenSoundOutput();
    EXPECT_TRUE(Sound.open.load());
    EXPECT_FALSE(AudioDeviceOpen());
    int id = AddSound(3000);
    PlayVoice(&source, true, id);
    PublishSoundPositions();
    EXPECT_TRUE(VoiceActive(id));
    if (saved) setenv("SDL_AUDIODRIVER", keep.c_str(), 1);
    else unsetenv("SDL_AUDIODRIVER");
}
