// Writes the small hand-made picture seeds of fuzz/corpus/{tga,bmp,jpeg}/. Not part of the
// build; run once from the repository root after changing it:
//   g++ -std=c++17 -Isrc -Itests fuzz/make_image_seeds.cpp tests/support/image_files.cpp \
//       $(pkg-config --cflags --libs sdl2) -ljpeg -o /tmp/make_image_seeds && /tmp/make_image_seeds
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/image_files.h"

// A byte string written as a literal, zero bytes included.
#define B(s) std::string(s, sizeof(s) - 1)

namespace {

void Save(const std::string& path, const std::string& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) std::exit(1);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

std::vector<uint8_t> Gradient(int w, int h, int components) {
    std::vector<uint8_t> v;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < components; ++c) v.push_back(static_cast<uint8_t>(x * 40 + y * 20 + c * 90));
    return v;
}

std::string Le16(int v) { return std::string{char(v & 0xFF), char((v >> 8) & 0xFF)}; }
std::string Le32(uint32_t v) { return Le16(v & 0xFFFF) + Le16(v >> 16); }

// A BMP with a 40-byte info header (or a 108-byte one when masks are given) and the given
// palette and pixel bytes.
std::string Bmp(int w, int h, int bits, int compression, const std::string& palette,
                const std::string& pixels, const std::vector<uint32_t>& masks = {}) {
    const int infoSize = masks.empty() ? 40 : 108;
    const uint32_t offset = 14 + infoSize + palette.size();  // bit masks count as the palette
    std::string info = Le32(infoSize) + Le32(w) + Le32(static_cast<uint32_t>(h)) + Le16(1) + Le16(bits) +
                       Le32(compression) + Le32(pixels.size()) + Le32(2835) + Le32(2835) +
                       Le32(bits <= 8 ? palette.size() / 4 : 0) + Le32(0);
    if (!masks.empty()) {
        for (uint32_t m : masks) info += Le32(m);
        info += Le32(0x73524742);             // sRGB
        info += std::string(36 + 12, '\0');   // end points and gamma
    }
    std::string file = "BM" + Le32(14 + info.size() + palette.size() + pixels.size()) + Le32(0) + Le32(offset);
    return file + info + palette + pixels;
}

JpegOptions Progressive(bool subsampled, int restartInterval) {
    JpegOptions options;
    options.quality = 75;
    options.progressive = true;
    options.subsampled = subsampled;
    options.restartInterval = restartInterval;
    return options;
}

}  // namespace

int main() {
    const std::string d = "fuzz/corpus/";
    // TGA: every type and depth the decoder takes, both orientations, packets of both kinds.
    const std::string bgr = B("\x10\x20\x30\x40\x50\x60\x70\x80\x90\xA0\xB0\xC0");
    Save(d + "tga/true24_bottom_up.tga", TgaHeader(2, 2, 2, 24, 0) + bgr);
    Save(d + "tga/true32_top_down.tga", TgaHeader(2, 2, 1, 32, 0x28) + B("\x01\x02\x03\x04\x05\x06\x07\x08"));
    Save(d + "tga/true16_with_id_and_map.tga",
         TgaHeader(2, 2, 1, 16, 0x20, 1, 2, 24, 3) + "abc" + B("\x01\x02\x03\x04\x05\x06") + B("\xFF\x7F\x1F\x00"));
    Save(d + "tga/indexed.tga",
         TgaHeader(1, 2, 2, 8, 0x20, 1, 3, 24) + B("\x00\x00\xFF\x00\xFF\x00\xFF\x00\x00") + B("\x00\x01\x02\x01"));
    Save(d + "tga/indexed_packed.tga",
         TgaHeader(9, 4, 2, 8, 0, 1, 2, 24) + B("\x00\x00\xFF\xFF\xFF\xFF") +
             B("\x83\x01\x03\x00\x01\x00\x01"));
    Save(d + "tga/true24_packed.tga",
         TgaHeader(10, 3, 3, 24, 0x20) + B("\x82\x10\x20\x30") + B("\x05") + bgr + B("\x11\x22\x33\x44\x55\x66"));
    Save(d + "tga/true32_packed_alpha.tga",
         TgaHeader(10, 4, 1, 32, 0x08) + B("\x81\x01\x02\x03\x80") + B("\x01") + B("\x09\x08\x07\x06\x05\x04\x03\x02"));

    // BMP: what SDL writes (8, 24, 32 bits) and the variants its reader takes by hand.
    const std::vector<uint8_t> rgb = Gradient(3, 2, 3);
    Save(d + "bmp/rgb24.bmp", EncodeBmp(rgb, 3, 2, 24));
    Save(d + "bmp/rgba32.bmp", EncodeBmp(rgb, 3, 2, 32));
    Save(d + "bmp/palette8.bmp", EncodeBmp(rgb, 3, 2, 8));
    const std::string twoColours = B("\x00\x00\x00\x00\xFF\xFF\xFF\x00");
    Save(d + "bmp/mono1.bmp", Bmp(9, 2, 1, 0, twoColours, B("\xAA\x80\x00\x00\x55\x00\x00\x00")));
    Save(d + "bmp/palette4_top_down.bmp",
         Bmp(3, -2, 4, 0, twoColours + B("\x00\x00\xFF\x00"), B("\x01\x20\x00\x00\x10\x20\x00\x00")));
    Save(d + "bmp/rle8.bmp",
         Bmp(4, 2, 8, 1, twoColours, B("\x04\x01\x00\x00\x00\x03\x00\x01\x01\x00\x00\x01")));
    Save(d + "bmp/rle4.bmp", Bmp(4, 1, 4, 2, twoColours, B("\x04\x10\x00\x01")));
    Save(d + "bmp/rgb565_bitfields.bmp",
         Bmp(2, 1, 16, 3, Le32(0xF800) + Le32(0x07E0) + Le32(0x001F), B("\x1F\x00\xE0\x07")));
    Save(d + "bmp/argb32_v4.bmp",
         Bmp(1, 1, 32, 3, "", B("\x10\x20\x30\x80"), {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000}));

    // JPEG: baseline colour and gray, progressive, subsampled with restart markers.
    Save(d + "jpeg/baseline_rgb.jpg", EncodeJpeg(Gradient(8, 8, 3), 8, 8, 3, 90));
    Save(d + "jpeg/gray.jpg", EncodeJpeg(Gradient(5, 3, 1), 5, 3, 1, 50));
    Save(d + "jpeg/progressive.jpg", EncodeJpeg(Gradient(9, 7, 3), 9, 7, 3, Progressive(false, 0)));
    Save(d + "jpeg/subsampled_restarts.jpg", EncodeJpeg(Gradient(17, 17, 3), 17, 17, 3, Progressive(true, 1)));
    return 0;
}
