// Temporary join point: the speech engine is not built yet; speech is simply not ready.
#include "speech/speech.h"

bool InitSpeech() { return false; }
int SpeakText(const wchar_t*) { return 1; }
void ShutdownSpeech() {}
