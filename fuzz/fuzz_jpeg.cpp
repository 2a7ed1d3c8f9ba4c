// JPEG pictures: libjpeg behind our error manager on any bytes (its fatal errors must come
// back as a failure), then the alpha rule and the mipmap chain the texture cache applies.
#include <cstddef>
#include <cstdint>

#include "image_consumer.h"
#include "platform/jpeg_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int width = 0, height = 0;
    uint8_t* pixels = PlatformDecodeJpeg(data, size, width, height);
    ConsumePixels(pixels, width, height, size > 0 ? data[size - 1] : 0);
    delete[] pixels;
    return 0;
}
