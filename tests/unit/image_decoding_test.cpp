#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/services.h"
#include "assets/texture_cache.h"
#include "assets/tga_decoder.h"
#include "platform/bmp_decoder.h"
#include "platform/jpeg_decoder.h"
#include "support/image_files.h"
#include "support/temp_dir.h"

namespace {

// A decoded picture: the buffer and its size, freed with the record.
struct Decoded {
    uint8_t* pixels = nullptr;
    int width = -1, height = -1;
    ~Decoded() { delete[] pixels; }
    // Blue, green, red, alpha of pixel i.
    std::vector<int> At(int i) const {
        const uint8_t* p = pixels + 4 * i;
        return {p[0], p[1], p[2], p[3]};
    }
};

const uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

void DecodeTgaInto(Decoded& d, const std::string& file) {
    d.pixels = DecodeTga(Bytes(file), file.size(), d.width, d.height);
}

std::string Bgr(int b, int g, int r) { return std::string{char(b), char(g), char(r)}; }

}  // namespace

TEST(TgaDecoding, TrueColourPixelsKeepFileOrderUnlessTheDescriptorIsZero) {
    const std::string pixels = Bgr(1, 2, 3) + Bgr(4, 5, 6) + Bgr(7, 8, 9) + Bgr(10, 11, 12);
    Decoded topLeft;
    DecodeTgaInto(topLeft, TgaHeader(2, 2, 2, 24, 0x20) + pixels);
    ASSERT_NE(topLeft.pixels, nullptr);
    EXPECT_EQ(topLeft.width, 2);
    EXPECT_EQ(topLeft.height, 2);
    EXPECT_EQ(topLeft.At(0), (std::vector<int>{1, 2, 3, 255}));
    EXPECT_EQ(topLeft.At(3), (std::vector<int>{10, 11, 12, 255}));

    // Descriptor 0: the last pixel of the file comes first (turned upright and mirrored).
    Decoded reversed;
    DecodeTgaInto(reversed, TgaHeader(2, 2, 2, 24, 0) + pixels);
    ASSERT_NE(reversed.pixels, nullptr);
    EXPECT_EQ(reversed.At(0), (std::vector<int>{10, 11, 12, 255}));
    EXPECT_EQ(reversed.At(1), (std::vector<int>{7, 8, 9, 255}));
    EXPECT_EQ(reversed.At(3), (std::vector<int>{1, 2, 3, 255}));

    // Any other descriptor (here bottom-left origin with 8 alpha bits) is taken as it comes.
    Decoded other;
    DecodeTgaInto(other, TgaHeader(2, 2, 2, 24, 0x08) + pixels);
    ASSERT_NE(other.pixels, nullptr);
    EXPECT_EQ(other.At(0), (std::vector<int>{1, 2, 3, 255}));
}

TEST(TgaDecoding, ThirtyTwoBitKeepsAlphaAndSixteenBitWidensFiveBitChannels) {
    Decoded wide;
    DecodeTgaInto(wide, TgaHeader(2, 2, 1, 32, 0x20) + std::string{1, 2, 3, 4, 5, 6, 7, 8});
    ASSERT_NE(wide.pixels, nullptr);
    EXPECT_EQ(wide.At(0), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(wide.At(1), (std::vector<int>{5, 6, 7, 8}));

    // 0x7FFF with the unused top bit set: every channel 31 -> 248. 0x0421: 1, 1, 1 -> 8.
    // 0x7C00: red only.
    Decoded narrow;
    DecodeTgaInto(narrow, TgaHeader(2, 3, 1, 16, 0x20) +
                              std::string{char(0xFF), char(0xFF), 0x21, 0x04, 0x00, 0x7C});
    ASSERT_NE(narrow.pixels, nullptr);
    EXPECT_EQ(narrow.At(0), (std::vector<int>{248, 248, 248, 255}));
    EXPECT_EQ(narrow.At(1), (std::vector<int>{8, 8, 8, 255}));
    EXPECT_EQ(narrow.At(2), (std::vector<int>{0, 0, 248, 255}));
}

TEST(TgaDecoding, ColourMappedImagesLookUpTheirMap) {
    const std::string map = Bgr(10, 20, 30) + Bgr(40, 50, 60);
    Decoded d;
    DecodeTgaInto(d, TgaHeader(1, 3, 1, 8, 0x20, 1, 2, 24) + map + std::string{1, 0, 1});
    ASSERT_NE(d.pixels, nullptr);
    EXPECT_EQ(d.At(0), (std::vector<int>{40, 50, 60, 255}));
    EXPECT_EQ(d.At(1), (std::vector<int>{10, 20, 30, 255}));

    // The image id sits between the header and the map.
    Decoded withId;
    DecodeTgaInto(withId, TgaHeader(1, 1, 1, 8, 0x20, 1, 2, 24, 3) + "abc" + map + std::string{1});
    ASSERT_NE(withId.pixels, nullptr);
    EXPECT_EQ(withId.At(0), (std::vector<int>{40, 50, 60, 255}));
}

TEST(TgaDecoding, ColourMapRulesAreEnforced) {
    const std::string map = Bgr(10, 20, 30) + Bgr(40, 50, 60);
    const std::string indices{0, 1};
    Decoded fine, beyondMap, noMapType, wrongDepth, wrongEntry, emptyMap;
    DecodeTgaInto(fine, TgaHeader(1, 2, 1, 8, 0x20, 1, 2, 24) + map + indices);
    DecodeTgaInto(beyondMap, TgaHeader(1, 2, 1, 8, 0x20, 1, 2, 24) + map + std::string{0, 2});
    DecodeTgaInto(noMapType, TgaHeader(1, 2, 1, 8, 0x20, 0, 2, 24) + map + indices);
    DecodeTgaInto(wrongDepth, TgaHeader(1, 2, 1, 16, 0x20, 1, 2, 24) + map + indices + indices);
    DecodeTgaInto(wrongEntry, TgaHeader(1, 2, 1, 8, 0x20, 1, 2, 32) + map + "xx" + indices);
    DecodeTgaInto(emptyMap, TgaHeader(1, 2, 1, 8, 0x20, 1, 0, 24) + indices);
    EXPECT_NE(fine.pixels, nullptr);
    EXPECT_EQ(beyondMap.pixels, nullptr);
    EXPECT_EQ(noMapType.pixels, nullptr);
    EXPECT_EQ(wrongDepth.pixels, nullptr);
    EXPECT_EQ(wrongEntry.pixels, nullptr);
    EXPECT_EQ(emptyMap.pixels, nullptr);
}

TEST(TgaDecoding, RunLengthPacketsRepeatOrCopyPixels) {
    // 0x83: one pixel repeated four times; 0x02: three literal pixels.
    const std::string data = std::string{char(0x83)} + Bgr(9, 8, 7) + std::string{0x02} +
                             Bgr(1, 1, 1) + Bgr(2, 2, 2) + Bgr(3, 3, 3);
    Decoded d;
    DecodeTgaInto(d, TgaHeader(10, 7, 1, 24, 0x20) + data);
    ASSERT_NE(d.pixels, nullptr);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(d.At(i), (std::vector<int>{9, 8, 7, 255})) << i;
    EXPECT_EQ(d.At(4), (std::vector<int>{1, 1, 1, 255}));
    EXPECT_EQ(d.At(6), (std::vector<int>{3, 3, 3, 255}));

    // Packed and colour-mapped, reversed by descriptor 0.
    Decoded mapped;
    DecodeTgaInto(mapped, TgaHeader(9, 3, 1, 8, 0, 1, 2, 24) + Bgr(10, 20, 30) + Bgr(40, 50, 60) +
                              std::string{char(0x81), 1, 0, 0});
    ASSERT_NE(mapped.pixels, nullptr);
    EXPECT_EQ(mapped.At(0), (std::vector<int>{10, 20, 30, 255}));
    EXPECT_EQ(mapped.At(2), (std::vector<int>{40, 50, 60, 255}));
}

TEST(TgaDecoding, PacketsStopAtTheLastPixel) {
    // A run of 128 and a literal packet of 128 into a 3-pixel image: only 3 pixels are
    // written (AddressSanitizer would catch a write past the buffer).
    Decoded run;
    DecodeTgaInto(run, TgaHeader(10, 3, 1, 24, 0) + std::string{char(0xFF)} + Bgr(5, 5, 5));
    ASSERT_NE(run.pixels, nullptr);
    EXPECT_EQ(run.At(2), (std::vector<int>{5, 5, 5, 255}));

    std::string literal = std::string{char(0x7F)};
    for (int i = 0; i < 128; ++i) literal += Bgr(i, i, i);
    Decoded lit;
    DecodeTgaInto(lit, TgaHeader(10, 2, 1, 24, 0x20) + literal);
    ASSERT_NE(lit.pixels, nullptr);
    EXPECT_EQ(lit.At(1), (std::vector<int>{1, 1, 1, 255}));
}

TEST(TgaDecoding, MalformedFilesFailCleanly) {
    const std::string header = TgaHeader(2, 4, 4, 24, 0x20);
    std::string full = header;
    for (int i = 0; i < 16; ++i) full += Bgr(i, i, i);
    struct Case {
        const char* what;
        std::string file;
    } cases[] = {
        {"empty", ""},
        {"short header", header.substr(0, 17)},
        {"pixels end early", full.substr(0, full.size() - 1)},
        {"packets end early", TgaHeader(10, 4, 4, 24, 0x20) + std::string{char(0x8D)} +
                                  Bgr(1, 1, 1) + std::string{0x01} + Bgr(2, 2, 2)},
        {"run header without its pixel", TgaHeader(10, 1, 1, 24, 0x20) + std::string{char(0x80), 1}},
        {"grayscale type", TgaHeader(3, 4, 4, 8, 0x20) + std::string(16, 'x')},
        {"unknown type", TgaHeader(11, 4, 4, 24, 0x20) + full.substr(18)},
        {"8-bit true colour", TgaHeader(2, 4, 4, 8, 0x20) + std::string(16, 'x')},
        {"15-bit true colour", TgaHeader(2, 4, 4, 15, 0x20) + std::string(32, 'x')},
        {"zero width", TgaHeader(2, 0, 4, 24, 0x20)},
        {"absurd width", TgaHeader(2, 20000, 1, 24, 0x20) + std::string(60000, 'x')},
        {"huge size, little data", TgaHeader(10, 16384, 16384, 32, 0x20) + std::string(100, 'x')},
        {"id longer than the file", TgaHeader(2, 1, 1, 24, 0x20, 0, 0, 0, 200) + Bgr(1, 1, 1)},
        {"map longer than the file", TgaHeader(1, 1, 1, 8, 0x20, 1, 300, 24) + Bgr(1, 1, 1)},
    };
    for (const Case& c : cases) {
        Decoded d;
        DecodeTgaInto(d, c.file);
        EXPECT_EQ(d.pixels, nullptr) << c.what;
        EXPECT_EQ(d.width, 0) << c.what;
    }
    Decoded good;
    DecodeTgaInto(good, full);
    EXPECT_NE(good.pixels, nullptr);
}

TEST(TgaDecoding, TrueColourFileWithAColourMapSkipsIt) {
    Decoded d;
    DecodeTgaInto(d, TgaHeader(2, 1, 1, 24, 0x20, 1, 2, 16) + "mmmm" + Bgr(1, 2, 3));
    ASSERT_NE(d.pixels, nullptr);
    EXPECT_EQ(d.At(0), (std::vector<int>{1, 2, 3, 255}));
}

namespace {
// Four 8 x 8 blocks: red, green / blue, white.
std::vector<uint8_t> Quadrants() {
    std::vector<uint8_t> rgb(16 * 16 * 3);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            uint8_t* p = &rgb[3 * (y * 16 + x)];
            const int q = (y / 8) * 2 + x / 8;
            const uint8_t colours[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
            p[0] = colours[q][0];
            p[1] = colours[q][1];
            p[2] = colours[q][2];
        }
    return rgb;
}

void ExpectNear(const std::vector<int>& got, const std::vector<int>& want, int tolerance,
                const char* what) {
    for (size_t i = 0; i < want.size(); ++i)
        EXPECT_NEAR(got[i], want[i], tolerance) << what << " byte " << i;
}
}  // namespace

TEST(JpegDecoding, ColourRowsBecomeBlueGreenRedX) {
    const std::string file = EncodeJpeg(Quadrants(), 16, 16, 3);
    Decoded d;
    d.pixels = PlatformDecodeJpeg(Bytes(file), file.size(), d.width, d.height);
    ASSERT_NE(d.pixels, nullptr);
    EXPECT_EQ(d.width, 16);
    EXPECT_EQ(d.height, 16);
    // Sample block centres: JPEG is lossy, a few levels off is fine.
    ExpectNear(d.At(4 * 16 + 4), {0, 0, 255, 255}, 6, "red");
    ExpectNear(d.At(4 * 16 + 12), {0, 255, 0, 255}, 6, "green");
    ExpectNear(d.At(12 * 16 + 4), {255, 0, 0, 255}, 6, "blue");
    ExpectNear(d.At(12 * 16 + 12), {255, 255, 255, 255}, 6, "white");
}

TEST(JpegDecoding, GrayscaleIsWidenedNotRejected) {
    std::vector<uint8_t> gray(8 * 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) gray[y * 8 + x] = static_cast<uint8_t>(y < 4 ? 40 : 200);
    const std::string file = EncodeJpeg(gray, 8, 8, 1);
    Decoded d;
    d.pixels = PlatformDecodeJpeg(Bytes(file), file.size(), d.width, d.height);
    ASSERT_NE(d.pixels, nullptr);
    EXPECT_EQ(d.width, 8);
    const std::vector<int> dark = d.At(1 * 8 + 3), light = d.At(6 * 8 + 3);
    ExpectNear(dark, {40, 40, 40, 255}, 4, "dark");
    ExpectNear(light, {200, 200, 200, 255}, 4, "light");
    EXPECT_EQ(dark[0], dark[1]);
    EXPECT_EQ(dark[1], dark[2]);
}

TEST(JpegDecoding, DataTheDecoderRejectsIsAFailureNotAnExit) {
    const std::string good = EncodeJpeg(Quadrants(), 16, 16, 3);
    // Find the frame header (FF C0) and make the image 0 pixels wide: a fatal decoder error.
    std::string zeroWidth = good;
    const size_t sof = zeroWidth.find("\xFF\xC0");
    ASSERT_NE(sof, std::string::npos);
    zeroWidth[sof + 7] = 0;
    zeroWidth[sof + 8] = 0;
    // A frame header whose component count disagrees with its length.
    std::string badComponents = good;
    badComponents[sof + 9] = 7;
    const std::string cases[] = {
        "not a jpeg at all",
        std::string("\xFF\xD8\xFF", 3),
        good.substr(0, 20),
        zeroWidth,
        badComponents,
    };
    for (const std::string& file : cases) {
        Decoded d;
        d.pixels = PlatformDecodeJpeg(Bytes(file), file.size(), d.width, d.height);
        EXPECT_EQ(d.pixels, nullptr) << file.size();
        EXPECT_EQ(d.width, 0);
    }
    // The decoder still works afterwards.
    Decoded d;
    d.pixels = PlatformDecodeJpeg(Bytes(good), good.size(), d.width, d.height);
    EXPECT_NE(d.pixels, nullptr);
}

TEST(BmpDecoding, VariantsComeOutTopRowFirstInBlueGreenRed) {
    // 3 x 2: red, green, blue over white, black, a gray.
    const std::vector<uint8_t> rgb = {255, 0, 0, 0, 255, 0, 0, 0, 255,
                                      255, 255, 255, 0, 0, 0, 90, 91, 92};
    for (int bits : {24, 32, 8}) {
        const std::string file = EncodeBmp(rgb, 3, 2, bits);
        ASSERT_GT(file.size(), 54u) << bits;
        Decoded d;
        d.pixels = PlatformDecodeBmp(Bytes(file), file.size(), d.width, d.height);
        ASSERT_NE(d.pixels, nullptr) << bits;
        EXPECT_EQ(d.width, 3);
        EXPECT_EQ(d.height, 2);
        EXPECT_EQ(d.At(0), (std::vector<int>{0, 0, 255, 255})) << bits;
        EXPECT_EQ(d.At(2), (std::vector<int>{255, 0, 0, 255})) << bits;
        EXPECT_EQ(d.At(3), (std::vector<int>{255, 255, 255, 255})) << bits;
        EXPECT_EQ(d.At(5), (std::vector<int>{92, 91, 90, 255})) << bits;
    }
}

TEST(BmpDecoding, DamagedFilesFail) {
    const std::vector<uint8_t> rgb(4 * 4 * 3, 100);
    const std::string good = EncodeBmp(rgb, 4, 4, 24);
    std::string absurd = good;  // width field at offset 18
    absurd[18] = 0;
    absurd[19] = 0;
    absurd[20] = 1;  // 65536 wide
    for (const std::string& file : {std::string("BM not a bitmap"), good.substr(0, 30), absurd}) {
        Decoded d;
        d.pixels = PlatformDecodeBmp(Bytes(file), file.size(), d.width, d.height);
        EXPECT_EQ(d.pixels, nullptr);
    }
}

TEST(LoadImagePixels, ChoosesTheDecoderByTheLastThreeCharactersInAnyCase) {
    TempDir media;
    SetMediaFolderOverride(media.path.c_str());
    const std::string tga = TgaHeader(2, 1, 1, 24, 0x20) + Bgr(1, 2, 3);
    media.Write("a.TgA", tga);
    media.Write("b.jpg", EncodeJpeg(Quadrants(), 16, 16, 3));
    media.Write("c.BMP", EncodeBmp(std::vector<uint8_t>(12, 7), 2, 2, 24));
    media.Write("d.png", tga);
    media.Write("e.tga.bak", tga);
    media.Write("f.jpg", tga);  // a TGA named as a JPEG

    Decoded a, b, c;
    a.pixels = LoadImagePixels("a.TgA", a.height, a.width);
    b.pixels = LoadImagePixels("b.jpg", b.height, b.width);
    c.pixels = LoadImagePixels("c.BMP", c.height, c.width);
    ASSERT_NE(a.pixels, nullptr);
    EXPECT_EQ(a.At(0), (std::vector<int>{1, 2, 3, 255}));
    ASSERT_NE(b.pixels, nullptr);
    EXPECT_EQ(b.width, 16);
    ASSERT_NE(c.pixels, nullptr);
    EXPECT_EQ(c.At(3), (std::vector<int>{7, 7, 7, 255}));
    for (const char* name : {"d.png", "e.tga.bak", "f.jpg", "missing.tga", "ga"}) {
        Decoded d;
        d.pixels = LoadImagePixels(name, d.height, d.width);
        EXPECT_EQ(d.pixels, nullptr) << name;
    }
    SetMediaFolderOverride(nullptr);
}
