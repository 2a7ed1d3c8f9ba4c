// Texture images loaded once per file and kept as OpenGL texture names.
#pragma once

#include <cstdint>

#include "assets/model.h"

struct TextureEntry {
    char fileName[260];  // as requested, relative to the media folder; empty when free
    uint32_t glName;     // 0 when free
    int32_t width;
    int32_t height;
    AlphaMode alphaMode;
};

constexpr int TextureSlots = 255;

struct TextureCache {
    TextureEntry entries[TextureSlots];
    int count;         // slots are filled in order; the count is the next free slot
    bool highQuality;
};

extern TextureCache Textures;

void InitTextureCache(bool highQuality);
// Loads media/<fileName> (.bmp, .jpg or .tga by its last three characters, any case) into
// 4 bytes per pixel (blue, green, red, x), first row first. Null on failure. The caller
// frees the buffer with delete[].
uint8_t* LoadImagePixels(const char* fileName, int& height, int& width);
// The OpenGL texture name for the file, loading it on first use; 0 on failure (reported).
uint32_t LoadTexture(const char* fileName, AlphaMode alphaMode, float alphaParam);
// Builds a box-filtered mipmap chain for a high-quality texture of at least 128 (w + h).
bool BuildMipmaps(uint32_t texture);
void ReleaseTextures();
