// Captions: every spoken text is also shown, one stretch between its runs of tabs at a
// time, above the score box at the bottom of the frame. They follow what the listener
// has heard of the speech queue; without speech each text's stretches share the wait it
// was spoken for. Stepped once per drawn frame by the game flow, never by the drawing.
#pragma once

#include <cstdint>
#include <deque>
#include <string>

#include "hud/text_overlay.h"

struct Caption {
    std::string text;         // UTF-8; '\n' breaks a line
    uint32_t textId = 0;      // the spoken text it follows; 0: it follows the clock
    int mark = 0;             // its stretch's number in that text
    bool lastOfText = false;
    float seconds = 0.0f;     // its share of the wait, when it follows the clock
};

struct CaptionQueue {
    std::deque<Caption> queued;  // the front is on screen once its time has come
    float shownFor = 0.0f;       // frame time the front has been shown (clock captions)
    float afterEnd = 0.0f;       // frame time since the front's speech ended
    float unheardFor = 0.0f;     // frame time the front has waited for its speech to begin
    std::string shown;           // the caption in the overlay; empty when none
};

extern CaptionQueue Captions;

// The last caption stays this long after its speech ended, so it can be read out.
constexpr float CaptionLinger = 2.0f;
// Speech that has not begun a caption this long after its turn came is not being played
// (a stalled audio device): the caption then follows the clock.
constexpr float CaptionSpeechTimeout = 10.0f;

// Makes the caption overlay for a window of width x height: a line that grows with the
// window (16 pixels at 480 high), up to three lines, kept out of rows 100-380 of 480.
void CreateCaptionOverlay(int width, int height);
// Queues the captions of a text. textId is the speech's id for it (0 when it is not
// being spoken); waitSeconds is how long the game waits over it. extraLine, when given,
// is shown under the first stretch but not spoken. Does nothing with captions off.
void QueueCaptions(const wchar_t* text, uint32_t textId, float waitSeconds, const char* extraLine);
// Speaks a text and queues its captions to follow the speech, or the clock when it is not
// spoken.
void SpeakWithCaptions(const wchar_t* text, float waitSeconds, const char* extraLine = nullptr);
// Once per drawn frame with its time step: moves the captions on and redraws the overlay
// when the shown caption changes.
void UpdateCaptions(float dt);
// Empties the queue and the overlay.
void ClearCaptions();
