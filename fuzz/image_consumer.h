// What the texture cache does with decoded pixels, for the picture fuzz targets: the alpha
// rule chosen by the input's last byte, then the whole mipmap chain down to 1 x 1.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>

#include "assets/texture_pixels.h"

inline void ConsumePixels(uint8_t* pixels, int width, int height, uint8_t modeByte) {
    if (pixels == nullptr) return;
    if (width <= 0 || height <= 0) __builtin_trap();
    ApplyAlphaRule(pixels, width * height, static_cast<AlphaMode>(modeByte % 11), 130.0f);
    // Halving a large picture level by level costs more than the decoding: only small ones.
    if (static_cast<size_t>(width) * static_cast<size_t>(height) <= 256 * 256) {
        uint8_t* target = new uint8_t[4 * static_cast<size_t>(width > 1 ? width / 2 : 1) *
                                      static_cast<size_t>(height > 1 ? height / 2 : 1)];
        uint8_t* source = pixels;
        int w = width, h = height;
        while (w + h > 2) {
            HalveTexels(source, w, h, target);
            if (w > 1) w /= 2;
            if (h > 1) h /= 2;
            uint8_t* swap = source;
            source = target;
            target = swap;
        }
        volatile uint8_t sink = source[0] ^ source[3];
        (void)sink;
        // One of the two buffers is the caller's.
        delete[] (target == pixels ? source : target);
    }
}
