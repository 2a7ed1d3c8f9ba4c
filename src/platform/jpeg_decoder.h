// JPEG pictures, colour or grayscale.
#pragma once

#include <cstddef>
#include <cstdint>

// Decodes the bytes of a JPEG file into 4 bytes per pixel (blue, green, red, 255), rows
// packed, top row first; grayscale images come out as equal blue, green and red. Returns a
// new[] buffer the caller delete[]s, or null when the decoder gives up on the data (the
// decoder's fatal errors come back here as a failure, they never end the process), the
// data ends before the picture does, or the image is larger than MaxImageSide on a side.
uint8_t* PlatformDecodeJpeg(const uint8_t* data, size_t size, int& width, int& height);
