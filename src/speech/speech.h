// Spoken briefings.
#pragma once

// Starts the speech engine; speech stays off (and the game unchanged) when it fails.
bool InitSpeech();
// Queues a text to be spoken after any text still being spoken; returns at once.
// Returns 1 and does nothing when speech is not ready, 0 when queued.
int SpeakText(const wchar_t* text);
void ShutdownSpeech();
