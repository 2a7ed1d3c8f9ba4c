// The sound-effect output device: 16-bit signed stereo, pulled in buffers of a fixed number
// of frames by the device's own thread.
#pragma once

#include <cstdint>

// Fills frameCount stereo frames (left, right) on the device's thread.
using AudioFill = void (*)(int16_t* frames, int frameCount);

// Opens the default output device at framesPerSecond, bufferFrames frames a buffer, and
// starts it; fill runs for every buffer it needs. Returns false (and stays closed) when
// there is no audio device.
bool OpenAudioDevice(AudioFill fill, int framesPerSecond, int bufferFrames);
// Stops the device; when it returns, fill is not running and will not run again.
void CloseAudioDevice();
bool AudioDeviceOpen();
// Keeps fill from running while the game thread changes what it reads. Held only for a few
// stores; fill itself runs inside the lock. No-ops while no device is open.
void LockAudioDevice();
void UnlockAudioDevice();
