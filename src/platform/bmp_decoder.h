// BMP pictures of any variant the platform's reader knows (1/4/8/16/24/32-bit, RLE,
// bottom-up or top-down).
#pragma once

#include <cstddef>
#include <cstdint>

// Decodes the bytes of a BMP file into 4 bytes per pixel (blue, green, red, alpha), rows
// packed, top row first; the alpha is 255 unless a 32-bit file carries an alpha mask.
// Returns a new[] buffer the caller delete[]s, or null when the data is not a BMP the
// reader accepts or is larger than MaxImageSide on a side.
uint8_t* PlatformDecodeBmp(const uint8_t* data, size_t size, int& width, int& height);
