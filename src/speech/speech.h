// Spoken briefings: texts queued on the speech engine, spoken one after the other on the
// engine's own thread while the game runs on. All calls come from the game thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/speech_engine.h"

struct SpeechOutput {
    bool ready = false;  // every operation does nothing while false
    uint32_t textsQueued = 0;
};

extern SpeechOutput Speech;

// Starts the speech engine on the audio output; speech stays off (and the game unchanged)
// when it fails.
bool InitSpeech();
// Queues a text to be spoken after any text still being spoken; returns at once.
// Returns 1 and does nothing when speech is not ready, 0 when queued, 2 when the engine
// refused the text (its queue is full).
int SpeakText(const wchar_t* text);
// Stops the voice: whatever is still queued or being spoken is dropped. Idempotent; the
// exit teardown calls it again.
void ShutdownSpeech();

// Tests and tools: starts speech with the samples delivered to a sink instead of an audio
// device (see platform/speech_engine.h for the sink's contract).
using SpeechSamplesSink = void (*)(void* user, uint32_t textId, const int16_t* samples, int count);
bool InitSpeechToSink(SpeechSamplesSink sink, void* user);
// Blocks until every queued text has been synthesised (tests, tools).
void WaitForSpeechQueue();

// The game's texts are plain text with tab characters between sentences. The engine reads
// markup, so the characters markup gives a meaning to are escaped and each tab becomes a
// short pause. With marks, each stretch of SpokenStretches opens with <mark name="k"/>,
// k its number, so that the listener's progress can be followed (captions).
std::wstring SpeechMarkup(const wchar_t* text, bool marks = false);
// The stretches of a text between its runs of tabs, without their outer spaces; empty
// ones are left out. The k-th is the one the markup marks k.
std::vector<std::wstring> SpokenStretches(const wchar_t* text);

// The id SpeakText gave the last text it queued (0 before any).
uint32_t LastSpokenTextId();
// How far the listener has got (see platform/speech_engine.h); all zero while speech is
// not ready.
SpeechHeard SpeechProgress();
