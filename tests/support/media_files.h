// Independent readers for the generated media files, so tests can check what the files
// hold (structure, layout, counts) apart from the game's own loaders.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "assets/model.h"

struct A3fBone {
    std::string name, parent;
    Mat4 matrix;
    std::vector<std::pair<uint32_t, float>> weights;
};

struct A3fFrame {
    std::string bone;
    Mat4 matrix;
};

struct A3fKey {
    float time;
    std::vector<A3fFrame> frames;
};

struct A3fAnimation {
    std::string name;
    float length;
    std::vector<A3fKey> keys;
};

struct A3fFile {
    std::string error;  // empty when the file read cleanly
    std::vector<Vertex> vertices;
    std::vector<Face> faces;
    float diffuse[4] = {0, 0, 0, 0};
    std::string textureFile, alpha;
    std::vector<A3fBone> bones;
    std::vector<A3fAnimation> animations;
};

// Reads an .a3f file strictly in the layout the generator writes (every section, every
// keyword where it belongs); any deviation is put into `error`.
A3fFile ReadA3f(const std::string& path);

struct RiffChunk {
    std::string id;
    uint32_t size;
    size_t offset;  // of the chunk's data in the file
};

struct WavFile {
    std::string error;
    std::vector<RiffChunk> chunks;  // in file order, after the RIFF/WAVE header
    uint16_t formatTag = 0, channels = 0, bitsPerSample = 0, blockAlign = 0;
    uint32_t sampleRate = 0;
    uint32_t formatSize = 0, dataSize = 0;
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

// Pixels of a BMP (24-bit) or TGA (types 1, 2, 10) the way the game's reader lays them out:
// first row first, a TGA with image descriptor 0 taken in reversed pixel order. Empty on
// any other file.
struct RgbaImage {
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;  // 4 bytes a pixel: r, g, b, a (255 without alpha)
    const uint8_t* At(int x, int y) const { return &rgba[4 * (static_cast<size_t>(y) * width + x)]; }
};
RgbaImage ReadBmpOrTga(const std::string& path);
// Width and height from a JPEG's frame header; false when there is none.
bool ReadJpegSize(const std::string& path, int& width, int& height);
