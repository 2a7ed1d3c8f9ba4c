#include "assets/tga_decoder.h"

#include <cstring>
#include <new>

#include "platform/image_limits.h"

namespace {

struct TgaReader {
    const uint8_t* data;
    size_t size;
    size_t at;
    const uint8_t* colourMap;  // 3 bytes per entry: blue, green, red
    uint32_t colourCount;
    int depth;  // bits per pixel: 8 (indexed), 16, 24 or 32

    bool Has(size_t bytes) const { return size - at >= bytes; }
};

uint16_t Word(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

// Reads one pixel into out (blue, green, red, alpha). False when the data ends or an index
// falls outside the colour map.
bool ReadPixel(TgaReader& r, uint8_t* out) {
    const size_t bytes = static_cast<size_t>(r.depth / 8);
    if (!r.Has(bytes)) return false;
    const uint8_t* p = r.data + r.at;
    r.at += bytes;
    switch (r.depth) {
    case 32:
        std::memcpy(out, p, 4);
        return true;
    case 24:
        out[0] = p[0];
        out[1] = p[1];
        out[2] = p[2];
        out[3] = 255;
        return true;
    case 16: {
        // 5 bits per channel, blue lowest; the top bit is not used.
        const uint16_t w = Word(p);
        out[0] = static_cast<uint8_t>((w & 31) * 8);
        out[1] = static_cast<uint8_t>(((w >> 5) & 31) * 8);
        out[2] = static_cast<uint8_t>(((w >> 10) & 31) * 8);
        out[3] = 255;
        return true;
    }
    default: {  // 8: an index into the colour map
        const uint32_t i = p[0];
        if (i >= r.colourCount) return false;
        std::memcpy(out, r.colourMap + 3 * i, 3);
        out[3] = 255;
        return true;
    }
    }
}

}  // namespace

uint8_t* DecodeTga(const uint8_t* data, size_t size, int& width, int& height) {
    width = height = 0;
    if (data == nullptr || size < 18) return nullptr;
    const uint8_t idLength = data[0];
    const uint8_t colourMapType = data[1];
    const uint8_t imageType = data[2];
    const uint16_t colourMapLength = Word(data + 5);
    const uint8_t colourEntryBits = data[7];
    const int w = Word(data + 12);
    const int h = Word(data + 14);
    const uint8_t depth = data[16];
    const uint8_t descriptor = data[17];

    const bool indexed = imageType == 1 || imageType == 9;
    const bool packed = imageType == 9 || imageType == 10;
    if (!indexed && imageType != 2 && imageType != 10) return nullptr;
    if (w <= 0 || h <= 0 || w > MaxImageSide || h > MaxImageSide) return nullptr;

    TgaReader r{data, size, 18, nullptr, 0, depth};
    if (!r.Has(idLength)) return nullptr;
    r.at += idLength;

    if (indexed) {
        if (colourMapType == 0 || depth != 8 || colourEntryBits != 24 || colourMapLength == 0)
            return nullptr;
        const size_t mapBytes = 3u * colourMapLength;
        if (!r.Has(mapBytes)) return nullptr;
        r.colourMap = data + r.at;
        r.colourCount = colourMapLength;
        r.at += mapBytes;
    } else {
        if (depth != 16 && depth != 24 && depth != 32) return nullptr;
        // A true-colour file may still carry a colour map; the pixels start after it.
        if (colourMapType != 0) {
            const size_t mapBytes = (static_cast<size_t>(colourMapLength) * colourEntryBits + 7) / 8;
            if (!r.Has(mapBytes)) return nullptr;
            r.at += mapBytes;
        }
    }

    // Refuse data too short to hold the picture before allocating for it: plain pixels
    // take depth/8 bytes each, and a packet covers at most 128 pixels.
    const size_t count = static_cast<size_t>(w) * static_cast<size_t>(h);
    const size_t pixelBytes = depth / 8;
    const size_t least = packed ? (count + 127) / 128 * (1 + pixelBytes) : count * pixelBytes;
    if (!r.Has(least)) return nullptr;

    uint8_t* pixels = new (std::nothrow) uint8_t[count * 4];
    if (pixels == nullptr) return nullptr;
    const bool reversed = descriptor == 0;
    auto slot = [&](size_t k) { return pixels + 4 * (reversed ? count - 1 - k : k); };

    size_t k = 0;
    bool ok = true;
    if (!packed) {
        for (; k < count && ok; ++k) ok = ReadPixel(r, slot(k));
    } else {
        while (k < count && ok) {
            if (!r.Has(1)) {
                ok = false;
                break;
            }
            const uint8_t header = data[r.at++];
            size_t run = header < 128 ? header + 1u : header - 127u;
            if (run > count - k) run = count - k;  // a packet never writes past the last pixel
            if (header < 128) {
                for (size_t i = 0; i < run && ok; ++i, ++k) ok = ReadPixel(r, slot(k));
            } else {
                uint8_t pixel[4];
                ok = ReadPixel(r, pixel);
                for (size_t i = 0; i < run && ok; ++i, ++k) std::memcpy(slot(k), pixel, 4);
            }
        }
    }
    if (!ok) {
        delete[] pixels;
        return nullptr;
    }
    width = w;
    height = h;
    return pixels;
}
