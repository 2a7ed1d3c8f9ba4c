#include "platform/bmp_decoder.h"

#include <SDL.h>

#include <cstring>
#include <new>

#include "platform/image_limits.h"

uint8_t* PlatformDecodeBmp(const uint8_t* data, size_t size, int& width, int& height) {
    width = height = 0;
    if (data == nullptr || size == 0 || size > static_cast<size_t>(INT32_MAX)) return nullptr;
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
