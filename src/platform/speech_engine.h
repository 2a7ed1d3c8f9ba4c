// The text-to-speech engine (espeak-ng) behind an asynchronous queue: texts are synthesised
// on the engine's own thread, one after the other, and their samples go either to an audio
// output device or to a sink (tests, tools).
#pragma once

#include <cstdint>

// Receives the samples of text number textId (as given to QueueSpeech), 16-bit mono at
// the engine's own rate, on the engine's thread. A call with count 0 marks the text's end.
using SpeechSink = void (*)(void* user, uint32_t textId, const int16_t* samples, int count);

// Starts the engine. With a null sink the voice is played on an audio output device, and
// the start fails when there is none. False (nothing left running) on any failure; the
// engine can be started again after a failure or a stop.
bool StartSpeechEngine(SpeechSink sink, void* user);
// Queues a text (markup allowed: SSML) behind the texts still being spoken and returns at
// once. False when the engine is not started or its queue is full.
bool QueueSpeech(const wchar_t* text, uint32_t textId);
// Blocks until every queued text has been synthesised (tests, tools).
void WaitForSpeech();
// Drops whatever is queued or being spoken and stops the engine and its output; nothing
// is heard or delivered after it returns.
void StopSpeechEngine();

// How far the listener has got through the queued texts. Marks are the markup's
// <mark name="N"/> with N a small number; a mark counts as heard once the samples before
// it have been played (with a sink: delivered).
struct SpeechHeard {
    uint32_t markTextId = 0;   // the text of the newest mark heard; 0 when none yet
    int mark = -1;             // that mark's number
    uint32_t endedTextId = 0;  // the newest text heard to its end; 0 when none yet
};
// Safe to call at any time from the game thread; all zero while the engine is stopped.
SpeechHeard HeardSpeech();
