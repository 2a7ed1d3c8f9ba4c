// BMP pictures: the platform's reader and our conversion to blue, green, red, alpha on any
// bytes, then the alpha rule and the mipmap chain the texture cache applies.
#include <cstddef>
#include <cstdint>

#include "image_consumer.h"
#include "platform/bmp_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int width = 0, height = 0;
    uint8_t* pixels = PlatformDecodeBmp(data, size, width, height);
    ConsumePixels(pixels, width, height, size > 0 ? data[size - 1] : 0);
    delete[] pixels;
    return 0;
}
