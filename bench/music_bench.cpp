// The tune's load time at start-up and the cost of queuing a spoken text on the game thread.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/services.h"
#include "audio/music.h"
#include "speech/speech.h"

namespace {

void PutVarLen(std::string& out, uint32_t value) {
    std::string bytes(1, static_cast<char>(value & 0x7F));
    while ((value >>= 7) != 0) bytes.insert(bytes.begin(), static_cast<char>(0x80 | (value & 0x7F)));
    out += bytes;
}

void PutBig(std::string& out, uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void PutTrack(std::string& file, const std::string& events) {
    file += "MTrk";
    PutBig(file, static_cast<uint32_t>(events.size()), 4);
    file += events;
}

// A format-1 tune like the game's: a conductor track and two voices of 1000 notes each
// (note on, running-status note off), a little over 2000 notes in all.
std::string RepresentativeTune() {
    std::string file = "MThd";
    PutBig(file, 6, 4);
    PutBig(file, 1, 2);
    PutBig(file, 3, 2);
    PutBig(file, 480, 2);
    std::string conductor;
    PutVarLen(conductor, 0);
    conductor += std::string("\xFF\x51\x03\x07\xA1\x20", 6);  // 500000 us per quarter
    PutVarLen(conductor, 0);
    conductor += std::string("\xFF\x58\x04\x04\x02\x18\x08", 7);
    PutVarLen(conductor, 0);
    conductor += std::string("\xFF\x2F\x00", 3);
    PutTrack(file, conductor);
    for (int voice = 0; voice < 2; ++voice) {
        std::string track;
        PutVarLen(track, 0);
        track += static_cast<char>(0xC0 + voice);
        track += static_cast<char>(voice == 0 ? 73 : 32);
        for (int n = 0; n < 1000; ++n) {
            int key = (voice == 0 ? 60 : 43) + (n * 7) % 12;
            PutVarLen(track, n == 0 ? 0 : 10);
            track += static_cast<char>(0x90 + voice);
            track += static_cast<char>(key);
            track += static_cast<char>(90);
            PutVarLen(track, voice == 0 ? 230 : 470);  // running status: a note on of velocity 0
            track += static_cast<char>(key);
            track += static_cast<char>(0);
        }
        PutVarLen(track, 0);
        track += std::string("\xFF\x2F\x00", 3);
        PutTrack(file, track);
    }
    return file;
}

// The media folder holding the tune: the generated media when the build has a tune,
// otherwise a temporary folder with the representative tune.
std::string TuneFolder() {
    const char* media = std::getenv("KELVANE_MEDIA_DIR");
    if (media != nullptr) {
        std::string path = std::string(media) + "/RuleBrittany.mid";
        if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
            std::fclose(f);
            return media;
        }
    }
    static std::string folder;
    if (folder.empty()) {
        char pattern[] = "/tmp/kelvane-bench-XXXXXX";
        if (mkdtemp(pattern) == nullptr) return "/tmp";
        folder = pattern;
        std::ofstream(folder + "/RuleBrittany.mid", std::ios::binary) << RepresentativeTune();
    }
    return folder;
}

void BM_LoadMidiFile(benchmark::State& state) {
    std::string folder = TuneFolder();
    SetMediaFolderOverride(folder.c_str());
    auto player = std::make_unique<MidiPlayer>();
    for (auto _ : state) {
        bool ok = LoadMidiFile(*player);
        benchmark::DoNotOptimize(ok);
        if (!ok) state.SkipWithError("the tune did not load");
    }
    state.counters["events"] = player->eventCount;
    SetMediaFolderOverride(nullptr);
}
BENCHMARK(BM_LoadMidiFile)->Unit(benchmark::kMicrosecond);

void BM_LoadMidiFromMemory(benchmark::State& state) {
    std::string tune = RepresentativeTune();
    std::vector<uint8_t> bytes(tune.begin(), tune.end());
    auto player = std::make_unique<MidiPlayer>();
    for (auto _ : state) {
        bool ok = LoadMidiFromMemory(*player, bytes.data(), bytes.size());
        benchmark::DoNotOptimize(ok);
    }
    state.counters["events"] = player->eventCount;
}
BENCHMARK(BM_LoadMidiFromMemory)->Unit(benchmark::kMicrosecond);

void DiscardSamples(void*, uint32_t, const int16_t*, int) {}

// Only the call on the game thread is timed; the engine synthesises on its own thread and
// is drained between batches so that its queue never fills.
void BM_SpeakText(benchmark::State& state) {
    if (!InitSpeechToSink(DiscardSamples, nullptr)) {
        state.SkipWithError("the speech engine did not start");
        return;
    }
    const wchar_t* text = L"Then return to base for your next mission. \t\tIf you dare.";
    int queued = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        int result = SpeakText(text);
        auto end = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(result);
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        if (++queued == 20) {
            WaitForSpeechQueue();
            queued = 0;
        }
    }
    ShutdownSpeech();
}
BENCHMARK(BM_SpeakText)->UseManualTime()->Iterations(400)->Unit(benchmark::kMicrosecond);

}  // namespace
