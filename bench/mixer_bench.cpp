// The block step with the game's seven voices playing around the listener.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "core/services.h"
#include "audio/mixer.h"
#include "audio/sound_system.h"

namespace {

uint32_t FixedClock() { return 100000; }

int AddTone(int length, double hz) {
    int16_t* samples = static_cast<int16_t*>(std::malloc(sizeof(int16_t) * length));
    for (int k = 0; k < length; ++k)
        samples[k] = static_cast<int16_t>(9000 * std::sin(2 * M_PI * hz * k / 11025.0));
    return AddVoiceSlot(samples, length, false);
}

void BM_MixBlockSevenVoices(benchmark::State& state) {
    SetClockSource(FixedClock);
    static Vec3 listener{0, 100, 0};
    static Vec3 axis{0.6f, 0, 0.8f};
    static Vec3 sources[7] = {{0, 100, 0},   {300, 120, -50}, {-800, 0, 900}, {0, 100, 0},
                              {0, 100, 0},   {250, 90, 40},   {-20, 30, -60}};
    Sound.listenerPosition = &listener;
    Sound.listenerAxis = &axis;
    OpenSoundMixer();
    int engine = AddTone(11025, 110);
    int enemyEngine = ShareVoiceSamples(engine);
    int siren = AddTone(22050, 600);
    int wind = AddTone(11025 * 3, 50);
    int guns = AddTone(8000, 900);
    int enemyGuns = ShareVoiceSamples(guns);
    int crash = AddTone(30000, 70);
    const int ids[7] = {engine, enemyEngine, siren, wind, guns, enemyGuns, crash};
    for (int k = 0; k < 7; ++k) PlayVoice(&sources[k], true, ids[k]);
    Sound.voices[engine].baseRate = 1.375f;
    Sound.voices[wind].baseRate = 0.7f;
    Sound.voices[wind].volume = 0.6f;
    std::vector<int16_t> out(2 * MixBlockFrames);
    for (auto _ : state) {
        MixBlock(out.data());
        benchmark::DoNotOptimize(out.data());
    }
    CloseSoundOutput();
    SetClockSource(nullptr);
}
BENCHMARK(BM_MixBlockSevenVoices)->Unit(benchmark::kMicrosecond);

}  // namespace
