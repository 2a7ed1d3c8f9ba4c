// The sound-effect output device: 16-bit signed stereo at 11025 frames per second, pulled
// in 1024-frame buffers by the device's own thread.
#pragma once

#include <cstdint>

// Fills frameCount stereo frames (left, right) on the device's thread.
using AudioFill = void (*)(int16_t* frames, int frameCount);

// Opens the default output device and starts it; fill runs for every buffer it needs.
// Returns false (and stays closed) when there is no audio device.
bool OpenAudioDevice(AudioFill fill);
// Stops the device; when it returns, fill is not running and will not run again.
void CloseAudioDevice();
bool AudioDeviceOpen();
// Keeps fill from running while the game thread changes what it reads. Held only for a few
// stores; fill itself runs inside the lock. No-ops while no device is open.
void LockAudioDevice();
void UnlockAudioDevice();
