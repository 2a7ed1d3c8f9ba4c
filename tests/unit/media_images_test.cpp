// The generated textures arrive upright and unmirrored under the game's reading rules
// (first row first; a TGA with image descriptor 0 in reversed pixel order): known pixels
// of each picture, one per format.
#include <gtest/gtest.h>

#include <string>

#include "support/media.h"
#include "support/media_files.h"
#include "support/temp_dir.h"

namespace {

#define NEED_MEDIA()                                                             \
    do {                                                                         \
        if (GeneratedMediaDir().empty()) {                                       \
            GTEST_SKIP() << "KELVANE_MEDIA_DIR is not set";                      \
        }                                                                        \
    } while (0)

RgbaImage Picture(const std::string& name) { return ReadBmpOrTga(GeneratedMediaDir() + "/" + name); }

void ExpectPixel(const RgbaImage& image, int x, int y, int r, int g, int b, const char* what) {
    const uint8_t* p = image.At(x, y);
    EXPECT_NEAR(p[0], r, 12) << what << " at " << x << "," << y;
    EXPECT_NEAR(p[1], g, 12) << what << " at " << x << "," << y;
    EXPECT_NEAR(p[2], b, 12) << what << " at " << x << "," << y;
}

}  // namespace

TEST(MediaImages, BitmapsArriveUpright) {
    NEED_MEDIA();
    RgbaImage biplane = Picture("biplane.bmp");
    ASSERT_EQ(biplane.width, 128);
    ASSERT_EQ(biplane.height, 128);
    // Roundel near the upper wing's tip in the top rows; the flat colour cells and the
    // rudder stripes (red at the tail side, blue at the hinge) along the bottom.
    ExpectPixel(biplane, 94, 22, 186, 32, 40, "roundel centre");
    ExpectPixel(biplane, 40, 116, 138, 94, 52, "wood cell");
    ExpectPixel(biplane, 100, 116, 186, 32, 40, "rudder red");
    ExpectPixel(biplane, 124, 116, 32, 52, 128, "rudder blue");

    RgbaImage tank = Picture("tank.bmp");
    ASSERT_EQ(tank.width, 128);
    ExpectPixel(tank, 64, 34, 18, 18, 18, "cross centre");
    ExpectPixel(tank, 54, 24, 230, 228, 220, "cross border");
    ExpectPixel(tank, 72, 112, 16, 16, 16, "black cell");
    ExpectPixel(tank, 8, 112, 118, 108, 74, "roof cell");
}

TEST(MediaImages, TargaFilesOfEveryKindArriveUpright) {
    NEED_MEDIA();
    // Colour-mapped: the triplane's crosses on red.
    RgbaImage triplane = Picture("triplane.tga");
    ASSERT_EQ(triplane.width, 128);
    ExpectPixel(triplane, 94, 22, 18, 18, 18, "wing cross centre");
    ExpectPixel(triplane, 98, 106, 236, 232, 222, "white fin corner");
    EXPECT_GT(triplane.At(4, 4)[0], 120);  // red fabric top-left
    EXPECT_LT(triplane.At(4, 4)[2], 60);

    // Uncompressed 24-bit, stored with descriptor 0 (reversed order): the flat cells run
    // left to right along the bottom rows, the flank crosses near the top.
    RgbaImage blimp = Picture("blimp.tga");
    ASSERT_EQ(blimp.width, 128);
    ExpectPixel(blimp, 8, 120, 70, 72, 70, "gondola cell");
    ExpectPixel(blimp, 24, 120, 24, 24, 24, "black cell");
    ExpectPixel(blimp, 40, 120, 150, 150, 146, "metal cell");
    ExpectPixel(blimp, 56, 120, 120, 84, 48, "wood cell");
    ExpectPixel(blimp, 32, 20, 16, 16, 16, "cross centre");

    // Run-length: boards on top, tarred roof in the middle, floor planks with the ring.
    RgbaImage hangar = Picture("hangar.tga");
    ASSERT_EQ(hangar.width, 128);
    ExpectPixel(hangar, 5, 70, 58, 56, 54, "roof");
    EXPECT_GT(hangar.At(3, 10)[0], 90);  // weathered boards
    EXPECT_GT(hangar.At(64 - 34, 112)[0], 200);  // the parking ring left of centre
    EXPECT_LT(hangar.At(64, 112)[0], 200);

    // 32-bit with alpha: a soft round puff.
    RgbaImage smoke = Picture("smoke.tga");
    ASSERT_EQ(smoke.width, 64);
    EXPECT_EQ(smoke.At(0, 0)[3], 0);
    EXPECT_EQ(smoke.At(63, 63)[3], 0);
    EXPECT_GT(smoke.At(32, 32)[3], 150);
    EXPECT_GT(smoke.At(32, 32)[3], smoke.At(32, 52)[3]);
}

TEST(MediaImages, TheFourTargaKindsAreAllUsed) {
    NEED_MEDIA();
    auto header = [](const std::string& name) { return ReadFileBytes(GeneratedMediaDir() + "/" + name).substr(0, 18); };
    std::string triplane = header("triplane.tga"), blimp = header("blimp.tga"), hangar = header("hangar.tga"),
                smoke = header("smoke.tga");
    EXPECT_EQ(triplane[2], 1);   // colour-mapped
    EXPECT_EQ(blimp[2], 2);      // uncompressed true colour
    EXPECT_EQ(blimp[17], 0);     // descriptor 0: reversed order
    EXPECT_EQ(hangar[2], 10);    // run-length
    EXPECT_EQ(smoke[2], 2);
    EXPECT_EQ(smoke[16], 32);    // with alpha
}
