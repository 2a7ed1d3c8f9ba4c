#include "platform/bmp_decoder.h"

#include <SDL.h>

#include <cstring>
#include <new>

#include "platform/image_limits.h"

namespace {

uint32_t Le16(const uint8_t* p) { return p[0] | p[1] << 8; }
uint32_t Le32(const uint8_t* p) { return Le16(p) | Le16(p + 2) << 16; }

// The platform's reader allocates the whole picture from the header's size before it
// reads a single pixel, so a damaged header could ask it for gigabytes. Checked here first:
// each side at most MaxImageSide, and the pixels must fit in the data. Packed (RLE) files
// code at best 255 pixels in 2 bytes, so they are held to 128 pixels per byte of file.
bool SizeFitsData(const uint8_t* data, size_t size) {
    if (size < 26 || data[0] != 'B' || data[1] != 'M') return false;
    const uint32_t headerSize = Le32(data + 14);
    int64_t width, height;
    uint32_t bits, compression = 0;
    if (headerSize == 12) {  // the old core header: 16-bit sides
        width = static_cast<int16_t>(Le16(data + 18));
        height = static_cast<int16_t>(Le16(data + 20));
        bits = Le16(data + 24);
    } else {
        if (size < 34) return false;
        width = static_cast<int32_t>(Le32(data + 18));
        height = static_cast<int32_t>(Le32(data + 22));  // negative: rows top-down
        bits = Le16(data + 28);
        compression = Le32(data + 30);
    }
    if (height < 0) height = -height;
    if (width <= 0 || height <= 0 || width > MaxImageSide || height > MaxImageSide) return false;
    const uint64_t pixels = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
    if (compression == 1 || compression == 2) return pixels <= 128 * static_cast<uint64_t>(size);
    const uint64_t rowBytes = (static_cast<uint64_t>(width) * bits + 31) / 32 * 4;
    return rowBytes * static_cast<uint64_t>(height) <= size;
}

}  // namespace

uint8_t* PlatformDecodeBmp(const uint8_t* data, size_t size, int& width, int& height) {
    width = height = 0;
    if (data == nullptr || size == 0 || size > static_cast<size_t>(INT32_MAX)) return nullptr;
    if (!SizeFitsData(data, size)) return nullptr;
    SDL_RWops* rw = SDL_RWFromConstMem(data, static_cast<int>(size));
    if (rw == nullptr) return nullptr;
    SDL_Surface* loaded = SDL_LoadBMP_RW(rw, 1);
    if (loaded == nullptr) return nullptr;
    if (loaded->w <= 0 || loaded->h <= 0 || loaded->w > MaxImageSide || loaded->h > MaxImageSide) {
        SDL_FreeSurface(loaded);
        return nullptr;
    }
    // BGRA32 names the byte order in memory (blue first) on every byte order. A picture
    // without an alpha mask comes out with the fourth byte 255.
    SDL_Surface* converted = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_BGRA32, 0);
    SDL_FreeSurface(loaded);
    if (converted == nullptr) return nullptr;

    const int w = converted->w, h = converted->h;
    const size_t rowBytes = static_cast<size_t>(w) * 4;
    uint8_t* pixels = new (std::nothrow) uint8_t[rowBytes * static_cast<size_t>(h)];
    if (pixels != nullptr) {
        SDL_LockSurface(converted);
        const uint8_t* source = static_cast<const uint8_t*>(converted->pixels);
        for (int y = 0; y < h; ++y) {
            uint8_t* row = pixels + rowBytes * static_cast<size_t>(y);
            std::memcpy(row, source + static_cast<size_t>(converted->pitch) * y, rowBytes);
        }
        SDL_UnlockSurface(converted);
        width = w;
        height = h;
    }
    SDL_FreeSurface(converted);
    return pixels;
}
