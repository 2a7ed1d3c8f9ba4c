// Loading WAV sounds into the mixer's voice slots.
#pragma once

#include <cstddef>
#include <cstdint>

// LoadWav results below 0. The caller may keep any of them as a voice id: an id outside
// the used slots plays nothing.
constexpr int WavCannotOpen = -1;        // cannot open the file, or it does not begin "RIF"
constexpr int WavNotWave = -2;           // the form type does not begin "WAV"
constexpr int WavNoFormat = -3;          // the next chunk id does not begin "fmt"
constexpr int WavBadFormat = -4;         // format chunk over 50 bytes, or neither PCM nor ADPCM
constexpr int WavConversionFailed = -5;  // the ADPCM data could not be decoded
constexpr int WavNoData = -6;            // the file ends before its "data" chunk
constexpr int WavDataPastEnd = -7;       // the data chunk's length runs past the end of the file
constexpr int WavBadSampleSize = -8;     // PCM with 0 or fewer than 8 bits per sample
constexpr int WavNoFreeSlot = -9;        // all 16 voice slots are in use

// Loads media/<name> into the next free voice slot and returns the slot's id (voiceCount
// grows by one), or a negative code above. Only a file that cannot be opened is shown to
// the player ("Could not open file:" with the path); a failed load leaves no memory
// behind and its slot free for the next load.
int LoadWav(const char* name);
// The same for a file's bytes already in memory.
int LoadWavFromMemory(const uint8_t* bytes, size_t size);
