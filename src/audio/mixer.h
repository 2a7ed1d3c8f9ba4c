// The block mixer: every playing voice placed in space and mixed into one 16-bit stereo
// stream, one 1024-frame block at a time.
#pragma once

#include <cstdint>

#include "audio/sound_system.h"

// Prepares the mix ring and sets Sound.open, then opens the audio device whose callback
// runs MixBlock. Without an audio device the game runs silently. Asset loading calls it
// once, before loading the sounds; it does nothing while Sound.open is set.
void OpenSoundOutput();
// The headless half of OpenSoundOutput: the mix ring and Sound.open, no device. Tests and
// benchmarks drive MixBlock themselves after it.
void OpenSoundMixer();
// Clears open, stops the device, frees the ring and every sample buffer a slot owns, and
// empties the voice table.
void CloseSoundOutput();

// Places one voice for the coming block: travel delay, Doppler rate, distance fade,
// left/right gains and leads, how far behind the listener it is. Returns false while the
// voice's sound has not reached the listener yet (it is then neither mixed nor advanced).
bool UpdateVoiceSpatial(Voice& voice);

// The block step: mixes every active voice into the ring at mixPos, copies the block
// (2048 values, 1024 stereo frames) to out, clears it in the ring and moves mixPos on.
// Writes silence while Sound.open is false.
void MixBlock(int16_t* out);

// Takes the next free slot as a voice that plays another voice's sound 8 samples later
// (8 samples shorter), without a copy. Returns the new id, or a negative code: -1 when
// `from` holds no sound of at least 8 samples, -9 when all 16 slots are used.
int ShareVoiceSamples(int from);

// Hands out the next slot for a new sound: its samples and length are set and voiceCount
// grows by one, visibly to the mixer only once the slot is complete. Returns the id, or
// -9 when the table is full. The slot takes ownership of samples (freed with std::free).
int AddVoiceSlot(int16_t* samples, int32_t length, bool sharesSamples);
