// TGA pictures: the decoder on any bytes, then the alpha rule and the mipmap chain the
// texture cache applies to what it returns.
#include <cstddef>
#include <cstdint>

#include "assets/tga_decoder.h"
#include "image_consumer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int width = 0, height = 0;
    uint8_t* pixels = DecodeTga(data, size, width, height);
    ConsumePixels(pixels, width, height, size > 0 ? data[size - 1] : 0);
    delete[] pixels;
    return 0;
}
