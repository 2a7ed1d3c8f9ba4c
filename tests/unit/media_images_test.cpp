// The generated pictures arrive upright and unmirrored through the game's image reader
// (first row first; a TGA with image descriptor 0 in reversed pixel order): known pixels
// of each picture in every format.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/services.h"
#include "assets/model.h"
#include "assets/texture_cache.h"
#include "support/media.h"
#include "support/temp_dir.h"

namespace {

struct RgbaImage {
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;  // r, g, b, alpha
    const uint8_t* At(int x, int y) const { return &rgba[4 * (static_cast<size_t>(y) * width + x)]; }
};

// Through the game's reader, turned from blue-green-red-x into red-green-blue-alpha.
RgbaImage Picture(const std::string& name) {
    RgbaImage image;
    UseGeneratedMedia();
    int height = 0, width = 0;
    uint8_t* pixels = LoadImagePixels(name.c_str(), height, width);
    SetMediaFolderOverride(nullptr);
    if (pixels == nullptr) {
        ADD_FAILURE() << name << " does not load";
        return image;
    }
    image.width = width;
    image.height = height;
    image.rgba.resize(4 * static_cast<size_t>(width) * height);
    for (size_t i = 0; i < image.rgba.size(); i += 4) {
        image.rgba[i] = pixels[i + 2];
        image.rgba[i + 1] = pixels[i + 1];
        image.rgba[i + 2] = pixels[i];
        image.rgba[i + 3] = pixels[i + 3];
    }
    delete[] pixels;
    return image;
}

// Mean red, green, blue over a block of pixels (JPEG pictures are compared on averages).
void Mean(const RgbaImage& image, int x0, int y0, int x1, int y1, float (&out)[3]) {
    out[0] = out[1] = out[2] = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            for (int c = 0; c < 3; ++c) out[c] += image.At(x, y)[c];
    float n = static_cast<float>((x1 - x0) * (y1 - y0));
    for (float& v : out) v /= n;
}

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
    ExpectPixel(tank, 8, 112, 164, 162, 152, "roof cell");
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

    // 32-bit with alpha: a soft round puff (the alpha comes through as the fourth byte).
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

TEST(MediaImages, JpegPicturesArriveUpright) {
    NEED_MEDIA();
    float top[3], bottom[3], left[3], right[3];
    // Sky: deep blue at the zenith (first rows), grey haze on the skirt (last rows).
    RgbaImage sky = Picture("sky.jpg");
    ASSERT_EQ(sky.width, 256);
    Mean(sky, 0, 0, 256, 8, top);
    Mean(sky, 0, 248, 256, 256, bottom);
    EXPECT_GT(top[2], top[0] + 60);
    EXPECT_LT(std::fabs(bottom[2] - bottom[0]), 40.0f);

    // Runway: earth tracks left and right of the middle, a rough green border, and as a
    // whole far paler than the farmland around it (green overall), so it shows from the air.
    RgbaImage runway = Picture("runway.jpg");
    ASSERT_EQ(runway.width, 128);
    ASSERT_EQ(runway.height, 256);
    EXPECT_GE(runway.width + runway.height, 128) << "large enough for the high-quality mipmaps";
    Mean(runway, 42, 0, 46, 256, left);
    Mean(runway, 0, 0, 3, 256, right);
    EXPECT_GT(left[0], left[1]) << "earth";
    EXPECT_GT(right[1], right[0]) << "grass";
    RgbaImage terrain = Picture("terrain.jpg");
    ASSERT_EQ(terrain.width, 512);
    Mean(terrain, 0, 0, 512, 512, top);
    EXPECT_GT(top[1], top[0]);
    EXPECT_GT(top[1], top[2]);
    Mean(runway, 0, 0, 128, 256, left);
    EXPECT_GT(left[0] + left[1] + left[2], top[0] + top[1] + top[2] + 150.0f) << "paler than the fields";

    // Splash: night-blue sky on top, dark hills at the bottom, the golden title in the
    // upper half, below the launcher's top row of controls.
    RgbaImage splash = Picture("splash.jpg");
    ASSERT_EQ(splash.width, 640);
    ASSERT_EQ(splash.height, 480);
    Mean(splash, 0, 0, 640, 24, top);
    Mean(splash, 0, 440, 640, 480, bottom);
    EXPECT_GT(top[2], top[0]);
    EXPECT_GT(bottom[1], bottom[2]);
    EXPECT_LT(bottom[0] + bottom[1] + bottom[2], 240.0f);
    int goldInTitle = 0, goldElsewhere = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            const uint8_t* p = splash.At(x, y);
            bool gold = p[0] > 200 && p[1] > 150 && p[2] < 120 && p[0] - p[2] > 110;
            if (!gold) continue;
            if (y >= 80 && y < 190)
                ++goldInTitle;
            else if (y < 24 || y > 240)
                ++goldElsewhere;
        }
    EXPECT_GT(goldInTitle, 4000);
    EXPECT_LT(goldElsewhere, 200);
}

// The terrain's faces drawn in one flat colour (every corner at one point of the fields
// picture: the roads and the canal) take colours that stand out from the fields, though
// the picture is compressed.
TEST(MediaImages, TheRoadsAndTheCanalStandOutFromTheFields) {
    NEED_MEDIA();
    Model terrain;
    std::string text = ReadFileBytes(GeneratedMediaDir() + "/terrain.a3f");
    ASSERT_TRUE(LoadModelFromMemory("terrain.a3f", text.data(), text.size(), terrain));
    std::map<std::pair<float, float>, int> flat;
    for (uint32_t i = 5000; i < terrain.faceCount; ++i) {
        const Vertex &a = terrain.vertices[terrain.faces[i].a], &b = terrain.vertices[terrain.faces[i].b],
                     &c = terrain.vertices[terrain.faces[i].c];
        if (a.u == b.u && a.u == c.u && a.v == b.v && a.v == c.v) ++flat[{a.u, a.v}];
    }
    ReleaseModel(terrain);
    ASSERT_EQ(flat.size(), 2u) << "a colour for the roads and one for the canal";
    RgbaImage fields = Picture("terrain.jpg");
    ASSERT_EQ(fields.width, 512);
    float mean[3];
    Mean(fields, 0, 0, 512, 512, mean);
    std::vector<std::vector<float>> colours;
    for (const auto& [uv, faces] : flat) {
        // What the linear filter gives at that point: the four pixels around it.
        const int x = static_cast<int>(std::lround(uv.first * 512)), y = static_cast<int>(std::lround(uv.second * 512));
        ASSERT_TRUE(x >= 1 && x < 512 && y >= 1 && y < 512);
        float around[3];
        Mean(fields, x - 1, y - 1, x + 1, y + 1, around);
        float most = 0;
        for (int k = 0; k < 3; ++k) most = std::max(most, std::fabs(around[k] - mean[k]));
        EXPECT_GT(most, 50.0f) << faces << " faces at " << x << "," << y;
        colours.push_back({around[0], around[1], around[2]});
    }
    // One pale (the chalk), one with more blue than red (the water).
    const auto& pale = colours[0][0] > colours[1][0] ? colours[0] : colours[1];
    const auto& water = colours[0][0] > colours[1][0] ? colours[1] : colours[0];
    EXPECT_GT(pale[0] + pale[1] + pale[2], 3 * 180.0f);
    EXPECT_GT(water[2], water[0] + 20.0f);
}
