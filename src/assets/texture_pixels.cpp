#include "assets/texture_pixels.h"

#include <cmath>

namespace {

// The low byte of a value truncated toward zero; values no integer can hold give 0.
uint8_t LowByte(float value) {
    if (!(std::fabs(value) < 2147483648.0f)) return 0;
    return static_cast<uint8_t>(static_cast<int32_t>(value) & 0xFF);
}

}  // namespace

void ApplyAlphaRule(uint8_t* pixels, int pixelCount, AlphaMode mode, float alphaParam) {
    if (pixels == nullptr || pixelCount <= 0) return;
    // The colour keyed out by AlphaGreen, taken before any pixel is touched.
    const uint8_t keyB = pixels[0], keyG = pixels[1], keyR = pixels[2];
    const uint8_t maskAlpha = LowByte(alphaParam);
    for (int i = pixelCount - 1; i >= 0; --i) {
        uint8_t* p = pixels + 4 * static_cast<size_t>(i);
        const uint8_t b = p[0], g = p[1], r = p[2];
        p[0] = r;
        p[2] = b;
        const int sum = r + g + b;
        switch (mode) {
        case AlphaNone: p[3] = 255; break;
        case AlphaLuminance: p[3] = static_cast<uint8_t>(255 - sum / 3); break;
        case AlphaIlluminance: p[3] = static_cast<uint8_t>(sum / 3); break;
        case AlphaBlackMask: p[3] = sum == 0 ? 0 : 255; break;
        case AlphaRed: p[3] = sum == 765 ? 0 : 255; break;
        case AlphaGreen: p[3] = (r == keyR && g == keyG && b == keyB) ? 0 : 255; break;
        case AlphaRedMask: p[3] = maskAlpha; break;
        default: break;  // the reader's alpha stays
        }
    }
}

void HalveTexels(const uint8_t* source, int width, int height, uint8_t* target) {
    const int targetWidth = width > 1 ? width / 2 : 1;
    const int targetHeight = height > 1 ? height / 2 : 1;
    const size_t stride = 4 * static_cast<size_t>(width);
    for (int y = 0; y < targetHeight; ++y) {
        const uint8_t* row0 = source + stride * static_cast<size_t>(2 * y);
        const uint8_t* row1 = height > 1 ? row0 + stride : row0;
        for (int x = 0; x < targetWidth; ++x) {
            const size_t c0 = 4 * static_cast<size_t>(2 * x);
            const size_t c1 = width > 1 ? c0 + 4 : c0;
            for (int byte = 0; byte < 4; ++byte)
                *target++ = static_cast<uint8_t>(
                    (row0[c0 + byte] + row0[c1 + byte] + row1[c0 + byte] + row1[c1 + byte]) / 4);
        }
    }
}

void RoundTexelsToFourBits(uint8_t* pixels, int pixelCount) {
    if (pixels == nullptr || pixelCount <= 0) return;
    uint8_t rounded[256];
    for (int c = 0; c < 256; ++c) rounded[c] = static_cast<uint8_t>((c * 15 + 127) / 255 * 17);
    const size_t bytes = 4 * static_cast<size_t>(pixelCount);
    for (size_t i = 0; i < bytes; ++i) pixels[i] = rounded[pixels[i]];
}
