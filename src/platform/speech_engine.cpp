#include "platform/speech_engine.h"

#include <SDL.h>
#include <espeak-ng/espeak_ng.h>
#include <espeak-ng/speak_lib.h>

#include <atomic>
#include <cstdlib>
#include <cwchar>
#include <deque>
#include <mutex>

#include "platform/audio_libraries.h"

namespace {

struct SpeechEngine {
    bool started = false;
    SpeechSink sink = nullptr;
    void* sinkUser = nullptr;
    SDL_AudioDeviceID device = 0;
    // Cleared first when stopping: the engine's thread then abandons its text.
    std::atomic<bool> delivering{false};
};

// A mark or a text's end, at its place in the stream of samples handed on.
struct SpeechPoint {
    uint64_t sample;
    uint32_t textId;
    int mark;  // -1: the text's end
};

// Filled on the engine's thread, read on the game thread.
struct SpeechProgress {
    std::mutex lock;
    uint64_t samplesHandedOn = 0;
    std::deque<SpeechPoint> ahead;  // not heard yet, in stream order
    SpeechHeard heard;
};
SpeechProgress Progress;
// The engine marks a few points per text; a queue grown past this is not being played.
constexpr size_t MaxPointsAhead = 4096;

SpeechEngine Engine;

// The id of the empty text that settles the engine's thread before it is terminated.
constexpr uint32_t SettleTextId = 0xFFFFFFFFu;

uint32_t TextIdOf(const espeak_EVENT* events) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(events->user_data));
}

// The engine's thread hands over each stretch of synthesised samples here.
int OnSamples(short* samples, int count, espeak_EVENT* events) {
    uint32_t textId = events != nullptr ? TextIdOf(events) : 0;
    if (textId == SettleTextId) return 0;  // runs to its end; nothing to deliver
    if (!Engine.delivering.load(std::memory_order_acquire)) return 1;  // 1 = abandon
    {
        // The events of a call fall within its samples; a mark comes at the start of the
        // stretch it opens, the text's end after the last sample.
        std::lock_guard<std::mutex> hold(Progress.lock);
        const uint64_t start = Progress.samplesHandedOn;
        const uint64_t end = start + (samples != nullptr && count > 0 ? static_cast<uint64_t>(count) : 0);
        for (const espeak_EVENT* e = events; e != nullptr && e->type != espeakEVENT_LIST_TERMINATED; ++e) {
            if (Progress.ahead.size() >= MaxPointsAhead) break;
            if (e->type == espeakEVENT_MARK && e->id.name != nullptr)
                Progress.ahead.push_back({start, TextIdOf(e), std::atoi(e->id.name)});
            else if (e->type == espeakEVENT_MSG_TERMINATED)
                Progress.ahead.push_back({end, TextIdOf(e), -1});
        }
        Progress.samplesHandedOn = end;
    }
    if (samples != nullptr && count > 0) {
        if (Engine.sink != nullptr) {
            Engine.sink(Engine.sinkUser, textId, samples, count);
        } else if (Engine.device != 0) {
            // SDL keeps the queue in order and plays it at the device's pace.
            SDL_QueueAudio(Engine.device, samples, static_cast<Uint32>(count) * sizeof(short));
        }
    }
    for (const espeak_EVENT* e = events; e != nullptr && e->type != espeakEVENT_LIST_TERMINATED; ++e) {
        if (e->type == espeakEVENT_MSG_TERMINATED && Engine.sink != nullptr)
            Engine.sink(Engine.sinkUser, TextIdOf(e), nullptr, 0);
    }
    return 0;
}

// espeak-ng can start again in the same process after it was terminated only if its thread
// synthesised a text to its end since the last start; otherwise the next termination waits
// forever on that thread. An empty text settles the thread first.
void TerminateLibrary() {
    void* settle = reinterpret_cast<void*>(static_cast<uintptr_t>(SettleTextId));
    espeak_SetSynthCallback(OnSamples);
    espeak_Synth(L"", sizeof(wchar_t), 0, POS_CHARACTER, 0, espeakCHARS_WCHAR, nullptr, settle);
    espeak_Synchronize();
    espeak_ng_Cancel();
    espeak_ng_Terminate();
}

bool OpenVoiceOutput(int sampleRate) {
    if (!AcquireExtraSdlAudio()) return false;
    SDL_AudioSpec want{};
    want.freq = sampleRate;
    want.format = AUDIO_S16SYS;
    want.channels = 1;
    want.samples = 1024;
    want.callback = nullptr;  // fed with SDL_QueueAudio
    SDL_AudioSpec have{};
    Engine.device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (Engine.device == 0) {
        ReleaseExtraSdlAudio();
        return false;
    }
    SDL_PauseAudioDevice(Engine.device, 0);
    return true;
}

void CloseVoiceOutput() {
    if (Engine.device == 0) return;
    SDL_CloseAudioDevice(Engine.device);
    Engine.device = 0;
    ReleaseExtraSdlAudio();
}

}  // namespace

bool StartSpeechEngine(SpeechSink sink, void* user) {
    if (Engine.started) return false;
    // Without an audio output there is nothing to speak on: find that out before starting
    // the engine rather than start it only to stop it again.
    if (sink == nullptr) {
        if (!AcquireExtraSdlAudio()) return false;
        ReleaseExtraSdlAudio();
    }
    espeak_ng_InitializePath(nullptr);
    espeak_ng_ERROR_CONTEXT context = nullptr;
    if (espeak_ng_Initialize(&context) != ENS_OK) {
        espeak_ng_ClearErrorContext(&context);
        return false;
    }
    // Asynchronous, without the engine's own audio output: the samples come back through
    // OnSamples on the engine's thread.
    if (espeak_ng_InitializeOutput(static_cast<espeak_ng_OUTPUT_MODE>(0), 0, nullptr) != ENS_OK ||
        espeak_ng_SetVoiceByName("en") != ENS_OK) {
        TerminateLibrary();
        return false;
    }
    int sampleRate = espeak_ng_GetSampleRate();
    Engine.sink = sink;
    Engine.sinkUser = user;
    if (sink == nullptr && !OpenVoiceOutput(sampleRate)) {
        TerminateLibrary();
        Engine.sink = nullptr;
        Engine.sinkUser = nullptr;
        return false;
    }
    {
        std::lock_guard<std::mutex> hold(Progress.lock);
        Progress.samplesHandedOn = 0;
        Progress.ahead.clear();
        Progress.heard = SpeechHeard{};
    }
    espeak_SetSynthCallback(OnSamples);
    Engine.delivering = true;
    Engine.started = true;
    return true;
}

SpeechHeard HeardSpeech() {
    if (!Engine.started) return SpeechHeard{};
    // Samples still waiting in the device's queue have not been heard.
    uint64_t waiting = 0;
    if (Engine.device != 0) waiting = SDL_GetQueuedAudioSize(Engine.device) / sizeof(short);
    std::lock_guard<std::mutex> hold(Progress.lock);
    const uint64_t played = Progress.samplesHandedOn > waiting ? Progress.samplesHandedOn - waiting : 0;
    while (!Progress.ahead.empty() && Progress.ahead.front().sample <= played) {
        const SpeechPoint& p = Progress.ahead.front();
        if (p.mark < 0) {
            Progress.heard.endedTextId = p.textId;
        } else {
            Progress.heard.markTextId = p.textId;
            Progress.heard.mark = p.mark;
        }
        Progress.ahead.pop_front();
    }
    return Progress.heard;
}


bool QueueSpeech(const wchar_t* text, uint32_t textId) {
    if (!Engine.started || text == nullptr) return false;
    size_t bytes = (std::wcslen(text) + 1) * sizeof(wchar_t);
    void* userData = reinterpret_cast<void*>(static_cast<uintptr_t>(textId));
    // The engine copies the text into its queue before returning.
    espeak_ERROR result = espeak_Synth(text, bytes, 0, POS_CHARACTER, 0, espeakCHARS_WCHAR | espeakSSML,
                                       nullptr, userData);
    return result == EE_OK;
}

void WaitForSpeech() {
    if (Engine.started) espeak_Synchronize();
}

void StopSpeechEngine() {
    if (!Engine.started) return;
    Engine.delivering = false;
    TerminateLibrary();  // drops what is queued and ends the engine's thread
    if (Engine.device != 0) SDL_ClearQueuedAudio(Engine.device);
    CloseVoiceOutput();
    Engine.sink = nullptr;
    Engine.sinkUser = nullptr;
    Engine.started = false;
}
