// Process-wide quieting of the audio libraries' own diagnostics.
#pragma once

// On a machine without a sound card, ALSA's library prints a screenful of configuration
// errors to stderr each time a device is probed. Audio failures are silent in this game:
// this turns that output off (once; later calls do nothing).
void QuietAudioLibraries();

// Opens SDL's audio subsystem for an extra output device (the music or the voice) and
// returns true when it can carry one. False when SDL has no audio at all, or when its driver
// is "dummy" (nothing to hear) or "disk" (the capture file belongs to the effects output);
// the subsystem is then left closed again. Pair a true result with ReleaseExtraSdlAudio.
bool AcquireExtraSdlAudio();
void ReleaseExtraSdlAudio();
