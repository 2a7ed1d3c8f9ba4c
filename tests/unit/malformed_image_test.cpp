// Damaged pictures beyond the cases of the decoding tests: BMP palettes and depths the
// platform's reader may or may not take, BMP headers claiming huge pictures, TGA packets and
// colour indices past their data, and JPEG and TGA files cut at every byte. A decoder
// either refuses the data or returns a buffer of exactly the size it reports.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/services.h"
#include "assets/texture_cache.h"
#include "assets/tga_decoder.h"
#include "platform/bmp_decoder.h"
#include "platform/image_limits.h"
#include "platform/jpeg_decoder.h"
#include "support/image_files.h"
#include "support/temp_dir.h"

namespace {

using Decoder = uint8_t* (*)(const uint8_t*, size_t, int&, int&);

std::string Le16(int v) { return std::string{char(v & 0xFF), char((v >> 8) & 0xFF)}; }
std::string Le32(uint32_t v) { return Le16(v & 0xFFFF) + Le16(v >> 16); }

// Decodes a copy of exactly the file's bytes (so reads past the end are caught) and checks
// the outcome is clean: nothing and 0 x 0, or a picture whose every byte can be read.
// Returns whether a picture came back.
bool DecodesCleanly(Decoder decode, const std::string& file, const std::string& what) {
    std::vector<uint8_t> bytes(file.begin(), file.end());
    int width = -1, height = -1;
    uint8_t* pixels = decode(bytes.empty() ? nullptr : bytes.data(), bytes.size(), width, height);
    if (pixels == nullptr) {
        EXPECT_EQ(width, 0) << what;
        EXPECT_EQ(height, 0) << what;
        return false;
    }
    EXPECT_GT(width, 0) << what;
    EXPECT_GT(height, 0) << what;
    EXPECT_LE(width, MaxImageSide) << what;
    EXPECT_LE(height, MaxImageSide) << what;
    unsigned sum = 0;
    for (size_t i = 0; i < 4 * static_cast<size_t>(width) * static_cast<size_t>(height); ++i) sum += pixels[i];
    delete[] pixels;
    return sum != 1;  // the sum only keeps the reads
}

// A BMP with a 40-byte info header; colours is the palette count the header declares.
std::string Bmp(int32_t width, int32_t height, int bits, int compression, uint32_t colours,
                const std::string& palette, const std::string& pixels) {
    const std::string info = Le32(40) + Le32(static_cast<uint32_t>(width)) +
                             Le32(static_cast<uint32_t>(height)) + Le16(1) + Le16(bits) +
                             Le32(compression) + Le32(pixels.size()) + Le32(2835) + Le32(2835) +
                             Le32(colours) + Le32(0);
    const uint32_t offset = 14 + 40 + palette.size();
    return "BM" + Le32(offset + pixels.size()) + Le32(0) + Le32(offset) + info + palette + pixels;
}

std::string Grey(int n) {
    std::string p;
    for (int i = 0; i < n; ++i) p += std::string{char(i), char(i), char(i), 0};
    return p;
}

}  // namespace

TEST(MalformedBmp, PaletteOverflowsAreRefusedOrStayInsideThePalette) {
    const std::string pixels = std::string{0, 1, 1, 0};  // 2 x 2, rows padded to 4 bytes
    const std::string row = std::string{0, 1, 0, 0};
    // The fine file first, so a refusal below is the damage and not the helper.
    EXPECT_TRUE(DecodesCleanly(PlatformDecodeBmp, Bmp(2, 2, 8, 0, 2, Grey(2), row + row), "fine"));
    // More colours declared than 8 bits can index, and than the file holds.
    DecodesCleanly(PlatformDecodeBmp, Bmp(2, 2, 8, 0, 1000, Grey(2), row + row), "1000 colours");
    DecodesCleanly(PlatformDecodeBmp, Bmp(2, 2, 8, 0, 0xFFFFFFFF, Grey(2), row + row), "4 billion colours");
    // Indices past a two-colour palette, plain and run-length packed.
    DecodesCleanly(PlatformDecodeBmp, Bmp(2, 2, 8, 0, 2, Grey(2), std::string{char(200), char(255), 0, 0} + row),
                   "index past the palette");
    DecodesCleanly(PlatformDecodeBmp, Bmp(4, 1, 8, 1, 2, Grey(2), std::string{4, char(250), 0, 1}),
                   "packed index past the palette");
    DecodesCleanly(PlatformDecodeBmp, Bmp(4, 1, 4, 2, 2, Grey(2), std::string{4, char(0xEF), 0, 1}),
                   "4-bit packed index past the palette");
    // A palette that runs past the end of the file.
    DecodesCleanly(PlatformDecodeBmp, Bmp(1, 1, 8, 0, 256, Grey(3), ""), "palette past the end");
}

TEST(MalformedBmp, OddDepthsAndHeadersAreHandled) {
    const std::string data(64, '\x55');
    for (int bits : {0, 2, 3, 7, 12, 15, 48, 64, 65535})
        DecodesCleanly(PlatformDecodeBmp, Bmp(2, 2, bits, 0, 0, "", data), "bits " + std::to_string(bits));
    for (int compression : {3, 4, 5, 6, 99})
        DecodesCleanly(PlatformDecodeBmp, Bmp(2, 2, 16, compression, 0, "", data),
                       "compression " + std::to_string(compression));
    // Info headers of sizes no variant has.
    std::string odd = Bmp(2, 2, 24, 0, 0, "", data);
    for (uint32_t size : {0u, 13u, 39u, 41u, 0xFFFFFFFFu}) {
        odd.replace(14, 4, Le32(size));
        DecodesCleanly(PlatformDecodeBmp, odd, "info header of " + std::to_string(size));
    }
}

TEST(MalformedBmp, HeadersClaimingHugePicturesAreRefusedBeforeAllocating) {
    // The header is checked against the data before the platform's reader allocates the
    // picture, so none of these asks for more than the file could fill.
    const std::string row(8, '\x10');
    const struct {
        const char* what;
        std::string file;
    } cases[] = {
        {"16384 x 16384 in 8 bytes", Bmp(16384, 16384, 24, 0, 0, "", row)},
        {"top-down with the largest negative height", Bmp(2, INT32_MIN, 24, 0, 0, "", row)},
        {"negative width", Bmp(-2, 2, 24, 0, 0, "", row)},
        {"huge packed picture", Bmp(16384, 16384, 8, 1, 2, Grey(2), std::string{0, 1})},
        {"core header, huge", "BM" + Le32(34) + Le32(0) + Le32(26) + Le32(12) + Le16(16000) + Le16(16000) +
                                  Le16(1) + Le16(24) + row},
        // A file the fuzzer found: two bytes shifted the sizes to 65536 x 196624.
        {"shifted fields", std::string("BMF\0\0\0\0\0(\0\0\0\2\0\0\0\1\0\0\0\1\0\20\0\3\0\0\0\4\0\0\0", 32) +
                               std::string(40, '\x13')},
    };
    for (const auto& c : cases) EXPECT_FALSE(DecodesCleanly(PlatformDecodeBmp, c.file, c.what)) << c.what;
    // The largest width the check lets through with its whole data still decodes.
    EXPECT_TRUE(DecodesCleanly(PlatformDecodeBmp, Bmp(16384, 1, 8, 0, 2, Grey(2), std::string(16384, '\1')),
                               "16384 x 1"));
}

TEST(MalformedBmp, EveryTruncationIsClean) {
    std::vector<uint8_t> rgb;
    for (int i = 0; i < 5 * 3 * 3; ++i) rgb.push_back(static_cast<uint8_t>(i * 37));
    for (int bits : {8, 24, 32}) {
        const std::string file = EncodeBmp(rgb, 5, 3, bits);
        ASSERT_TRUE(DecodesCleanly(PlatformDecodeBmp, file, "whole"));
        for (size_t n = 0; n < file.size(); ++n)
            DecodesCleanly(PlatformDecodeBmp, file.substr(0, n), std::to_string(bits) + " bits cut at " + std::to_string(n));
    }
}

TEST(MalformedTga, PacketsAndIndicesPastTheirDataAreRefused) {
    const std::string map = std::string("\x01\x02\x03\x04\x05\x06", 6);  // two entries
    const struct {
        const char* what;
        std::string file;
    } cases[] = {
        // A literal packet of 128 pixels with three in the file.
        {"literal packet past the data", TgaHeader(10, 200, 1, 24, 0x20) + std::string{0x7F} + std::string(9, 'x')},
        // A run packet repeating an index the two-entry map lacks.
        {"run of an index past the map", TgaHeader(9, 4, 1, 8, 0x20, 1, 2, 24) + map + std::string{char(0x83), 2}},
        {"literal index past the map", TgaHeader(9, 2, 1, 8, 0x20, 1, 2, 24) + map + std::string{1, 0, char(255)}},
        {"65535 x 65535", TgaHeader(2, 65535, 65535, 24, 0x20) + std::string(300, 'x')},
        {"map entries of 0 bits", TgaHeader(1, 1, 1, 8, 0x20, 1, 2, 0) + std::string{0}},
    };
    for (const auto& c : cases) EXPECT_FALSE(DecodesCleanly(DecodeTga, c.file, c.what)) << c.what;
}

TEST(MalformedTga, EveryTruncationOfHeaderMapOrDataIsRefused) {
    const std::string map = std::string("\x01\x02\x03\x04\x05\x06\x07\x08\x09", 9);
    const std::string files[] = {
        TgaHeader(9, 6, 2, 8, 0, 1, 3, 24, 2) + "id" + map + std::string{char(0x82), 2, 0x02, 0, 1, 2, char(0x85), 1},
        TgaHeader(10, 5, 1, 32, 0x28) + std::string{char(0x81), 1, 2, 3, 4, 2, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16},
        TgaHeader(2, 2, 2, 16, 0x20, 1, 2, 24) + std::string(6, 'm') + std::string(8, 'p'),
    };
    for (const std::string& file : files) {
        ASSERT_TRUE(DecodesCleanly(DecodeTga, file, "whole"));
        for (size_t n = 0; n < file.size(); ++n)
            EXPECT_FALSE(DecodesCleanly(DecodeTga, file.substr(0, n), "cut at " + std::to_string(n)));
    }
}

TEST(MalformedJpeg, TruncationsAndOtherFormatsNeverEndTheGame) {
    std::vector<uint8_t> rgb;
    for (int i = 0; i < 16 * 16 * 3; ++i) rgb.push_back(static_cast<uint8_t>(i * 7));
    const std::string good = EncodeJpeg(rgb, 16, 16, 3, 80);
    ASSERT_TRUE(DecodesCleanly(PlatformDecodeJpeg, good, "whole"));
    // Cut anywhere: refused, or decoded in full size (the last row of blocks made up).
    for (size_t n = 0; n < good.size(); ++n)
        DecodesCleanly(PlatformDecodeJpeg, good.substr(0, n), "cut at " + std::to_string(n));
    // Cut in the middle of its data, a larger picture is refused rather than made up.
    std::vector<uint8_t> noise;
    for (int i = 0; i < 64 * 64 * 3; ++i) noise.push_back(static_cast<uint8_t>((i * 7919) >> 3));
    const std::string large = EncodeJpeg(noise, 64, 64, 3, 90);
    const size_t scan = large.find("\xFF\xDA");
    ASSERT_NE(scan, std::string::npos);
    EXPECT_FALSE(DecodesCleanly(PlatformDecodeJpeg, large.substr(0, (scan + large.size()) / 2), "half a scan"));
    // Only the end-of-image marker missing: the picture is all there.
    EXPECT_TRUE(DecodesCleanly(PlatformDecodeJpeg, large.substr(0, large.size() - 2), "no end marker"));

    const std::string others[] = {
        std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16),
        std::string("BM"),
        std::string(1024, '\xFF'),
        std::string("\xFF\xD8", 2) + std::string(1000, '\0'),
    };
    for (const std::string& file : others) EXPECT_FALSE(DecodesCleanly(PlatformDecodeJpeg, file, "other"));

    // A frame header claiming 65500 x 65500 pixels is refused before decoding, and one
    // claiming 16384 x 16384 as soon as the scan runs out of data.
    std::string huge = good;
    const size_t sof = huge.find("\xFF\xC0");
    ASSERT_NE(sof, std::string::npos);
    huge.replace(sof + 5, 4, std::string("\xFF\xDC\xFF\xDC", 4));
    EXPECT_FALSE(DecodesCleanly(PlatformDecodeJpeg, huge, "65500 x 65500"));
    huge.replace(sof + 5, 4, std::string("\x40\x00\x40\x00", 4));
    EXPECT_FALSE(DecodesCleanly(PlatformDecodeJpeg, huge, "16384 x 16384"));
}

TEST(MalformedImage, EmptyFilesOfEveryKindGiveNoPixels) {
    TempDir media;
    SetMediaFolderOverride(media.path.c_str());
    for (const char* name : {"empty.bmp", "empty.jpg", "empty.tga"}) {
        media.Write(name, "");
        int width = -1, height = -1;
        EXPECT_EQ(LoadImagePixels(name, height, width), nullptr) << name;
        EXPECT_EQ(width, 0) << name;
    }
    SetMediaFolderOverride(nullptr);
}
