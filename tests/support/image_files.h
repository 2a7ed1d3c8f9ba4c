// Picture files made on the spot for image tests: JPEG through libjpeg, BMP through SDL,
// TGA byte by byte.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// How a JPEG is written: baseline without chroma subsampling unless asked otherwise.
struct JpegOptions {
    int quality = 100;
    bool progressive = false;
    bool subsampled = false;  // libjpeg's default 2 x 2 luminance sampling
    int restartInterval = 0;  // MCUs between restart markers; 0 for none
};

// Encodes width x height pixels of `components` bytes each (3: red, green, blue; 1: gray)
// as a JPEG file.
std::string EncodeJpeg(const std::vector<uint8_t>& samples, int width, int height, int components,
                       const JpegOptions& options);
inline std::string EncodeJpeg(const std::vector<uint8_t>& samples, int width, int height, int components,
                              int quality = 100) {
    JpegOptions options;
    options.quality = quality;
    return EncodeJpeg(samples, width, height, components, options);
}

// Saves width x height pixels given as red, green, blue triples (top row first) as a BMP of
// the given bits per pixel: 24, 32 or 8 (8 builds a palette of the distinct colours, at
// most 256).
std::string EncodeBmp(const std::vector<uint8_t>& rgb, int width, int height, int bitsPerPixel);

// The 18-byte TGA header.
std::string TgaHeader(int imageType, int width, int height, int depth, int descriptor,
                      int colourMapType = 0, int colourMapLength = 0, int colourEntryBits = 0,
                      int idLength = 0);
