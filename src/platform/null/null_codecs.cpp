// The null platform's decoders: no BMP, compressed-WAV or JPEG decoding. A file that needs
// one fails to load, as a damaged one would; tests of the decoders link the real ones.

#include "platform/adpcm_decoder.h"
#include "platform/bmp_decoder.h"
#include "platform/jpeg_decoder.h"

uint8_t* PlatformDecodeBmp(const uint8_t*, size_t, int& width, int& height) {
    width = height = 0;
    return nullptr;
}

uint8_t* PlatformDecodeJpeg(const uint8_t*, size_t, int& width, int& height) {
    width = height = 0;
    return nullptr;
}

bool DecodeAdpcm(const uint8_t*, size_t, const uint8_t*, size_t, int, int16_t**, int32_t*) { return false; }
