// Readers for the layout of the generated sound and tune files, which the game's loaders
// do not show: the chunks of a WAV file in order, the tracks of a MIDI file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct RiffChunk {
    std::string id;
    uint32_t size;
    size_t offset;  // of the chunk's data in the file
};

struct WavFile {
    std::string error;
    std::vector<RiffChunk> chunks;  // in file order, after the RIFF/WAVE header
    uint16_t formatTag = 0, channels = 0, bitsPerSample = 0;
    uint32_t sampleRate = 0;
    uint32_t formatSize = 0;
    std::vector<int16_t> samples;  // the data as 16-bit PCM (only for format tag 1)
};
WavFile ReadWav(const std::string& path);

struct TuneEvent {
    int tick;  // absolute, from the start of its track
    uint8_t status;
    std::vector<uint8_t> data;  // channel message data bytes, or for a meta event: type, then its data
};

struct TuneFile {
    std::string error;
    int format = -1, trackCount = 0, division = 0;
    std::vector<std::vector<TuneEvent>> tracks;
};
TuneFile ReadTune(const std::string& path);
