#include "platform/speech_engine.h"
#include "speech/speech.h"

SpeechOutput Speech;

namespace {
// The engine cannot be started again after a start on the audio output failed (a second
// failed start hangs in its teardown): without an output, speech stays off for the run.
bool outputStartFailed = false;
}  // namespace

bool InitSpeech() {
    if (Speech.ready) return true;
    if (outputStartFailed) return false;
    Speech.textsQueued = 0;
    Speech.ready = StartSpeechEngine(nullptr, nullptr);
    outputStartFailed = !Speech.ready;
    return Speech.ready;
}

bool InitSpeechToSink(SpeechSamplesSink sink, void* user) {
    if (Speech.ready || sink == nullptr) return false;
    Speech.textsQueued = 0;
    Speech.ready = StartSpeechEngine(sink, user);
    return Speech.ready;
}

int SpeakText(const wchar_t* text) {
    if (!Speech.ready) return 1;
    if (text == nullptr) return 2;
    std::wstring markup = SpeechMarkup(text, true);
    return QueueSpeech(markup.c_str(), ++Speech.textsQueued) ? 0 : 2;
}

void WaitForSpeechQueue() {
    if (Speech.ready) WaitForSpeech();
}

void ShutdownSpeech() {
    if (!Speech.ready) return;
    Speech.ready = false;
    StopSpeechEngine();
}

uint32_t LastSpokenTextId() {
    return Speech.textsQueued;
}

SpeechHeard SpeechProgress() {
    if (!Speech.ready) return SpeechHeard{};
    return HeardSpeech();
}
