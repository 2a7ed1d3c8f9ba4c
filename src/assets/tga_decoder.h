// Truevision (TGA) pictures: colour-mapped (types 1 and 9) and true-colour (types 2 and 10),
// plain or run-length packed.
#pragma once

#include <cstddef>
#include <cstdint>

// Decodes the bytes of a TGA file into 4 bytes per pixel (blue, green, red, alpha), rows
// packed. The file's k-th pixel goes to slot k, except when the image descriptor byte is
// exactly 0: then it goes to slot width * height - 1 - k, which turns the usual bottom-up
// file upright (and mirrors it left to right). 32-bit pixels keep their alpha; the others
// get 255. Returns a new[] buffer the caller delete[]s, or null for another image type, a
// broken colour map, an unsupported depth, an index outside the colour map, a size of 0 or
// over MaxImageSide on a side, or data that ends before the last pixel.
uint8_t* DecodeTga(const uint8_t* data, size_t size, int& width, int& height);
