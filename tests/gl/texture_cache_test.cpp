#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/services.h"
#include "assets/texture_cache.h"
#include "support/error_capture.h"
#include "support/gl_context.h"
#include "support/image_files.h"
#include "support/temp_dir.h"

namespace {

// A 24-bit top-left TGA whose pixels are given as blue, green, red triples.
std::string Tga24(int width, int height, const std::vector<uint8_t>& bgr) {
    return TgaHeader(2, width, height, 24, 0x20) +
           std::string(reinterpret_cast<const char*>(bgr.data()), bgr.size());
}

std::string SolidTga(int width, int height, uint8_t b, uint8_t g, uint8_t r) {
    std::vector<uint8_t> bgr;
    for (int i = 0; i < width * height; ++i) bgr.insert(bgr.end(), {b, g, r});
    return Tga24(width, height, bgr);
}

GLint LevelParameter(uint32_t texture, int level, GLenum what) {
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint value = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, what, &value);
    return value;
}

std::vector<uint8_t> TexturePixels(uint32_t texture, int level = 0) {
    const int w = LevelParameter(texture, level, GL_TEXTURE_WIDTH);
    const int h = LevelParameter(texture, level, GL_TEXTURE_HEIGHT);
    std::vector<uint8_t> rgba(static_cast<size_t>(w) * h * 4);
    glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

struct TextureCacheTest : ::testing::Test {
    GlContext gl{64, 64};
    TempDir media;
    ErrorCapture errors;  // a report must never open a box that waits for a click
    void SetUp() override {
        ASSERT_TRUE(gl.Ok()) << gl.error;
        SetMediaFolderOverride(media.path.c_str());
        InitTextureCache(true);
    }
    void TearDown() override {
        ReleaseTextures();
        SetMediaFolderOverride(nullptr);
    }
};

}  // namespace

TEST_F(TextureCacheTest, SameFileTwiceIsUploadedOnce) {
    media.Write("wood.tga", SolidTga(4, 4, 10, 20, 30));
    media.Write("sky.tga", SolidTga(4, 4, 1, 2, 3));
    const uint32_t first = LoadTexture("wood.tga", AlphaNone, 0);
    ASSERT_NE(first, 0u);
    EXPECT_EQ(LoadTexture("wood.tga", AlphaBlackMask, 0), first);  // alpha arguments ignored
    EXPECT_EQ(Textures.count, 1);
    EXPECT_EQ(Textures.entries[0].alphaMode, AlphaNone);
    EXPECT_STREQ(Textures.entries[0].fileName, "wood.tga");
    EXPECT_EQ(Textures.entries[0].width, 4);

    const uint32_t second = LoadTexture("sky.tga", AlphaNone, 0);
    EXPECT_NE(second, first);
    EXPECT_EQ(Textures.count, 2);
    // Names are compared exactly: another spelling is another file.
    media.Write("Sky.tga", SolidTga(4, 4, 1, 2, 3));
    EXPECT_NE(LoadTexture("Sky.tga", AlphaNone, 0), second);

    const std::vector<uint8_t> texels = TexturePixels(first);
    EXPECT_EQ(texels[0], 30);  // red first in OpenGL
    EXPECT_EQ(texels[1], 20);
    EXPECT_EQ(texels[2], 10);
    EXPECT_EQ(texels[3], 255);
}

TEST_F(TextureCacheTest, FailuresAreReportedWithTheFileName) {
    media.Write("broken.jpg", std::string("\xFF\xD8\xFF\xE0 this is no picture", 24));
    media.Write("picture.gif", SolidTga(2, 2, 0, 0, 0));
    for (const char* name : {"missing.tga", "broken.jpg", "picture.gif"}) {
        EXPECT_EQ(LoadTexture(name, AlphaNone, 0), 0u) << name;
        ASSERT_FALSE(errors.reports.empty());
        EXPECT_EQ(errors.reports.back().message, "Unable to load the texture file:");
        EXPECT_EQ(errors.reports.back().detail, name);
    }
    EXPECT_EQ(errors.reports.size(), 3u);
    EXPECT_EQ(Textures.count, 0);

    // A failure is remembered for the run: asked for again, the file is neither read (a
    // good picture there now is not seen) nor reported a second time.
    media.Write("missing.tga", SolidTga(2, 2, 0, 0, 0));
    EXPECT_EQ(LoadTexture("missing.tga", AlphaNone, 0), 0u);
    EXPECT_EQ(LoadTexture("broken.jpg", AlphaNone, 0), 0u);
    EXPECT_EQ(errors.reports.size(), 3u);
    EXPECT_EQ(Textures.count, 0);
}

TEST_F(TextureCacheTest, AFullCacheRefusesMoreFilesInsteadOfOverrunning) {
    char name[32];
    for (int i = 0; i <= TextureSlots; ++i) {
        std::snprintf(name, sizeof name, "t%03d.tga", i);
        media.Write(name, SolidTga(1, 1, 0, 0, 0));
    }
    for (int i = 0; i < TextureSlots; ++i) {
        std::snprintf(name, sizeof name, "t%03d.tga", i);
        ASSERT_NE(LoadTexture(name, AlphaNone, 0), 0u) << i;
    }
    EXPECT_EQ(Textures.count, TextureSlots);
    EXPECT_TRUE(errors.reports.empty());
    EXPECT_EQ(LoadTexture("t255.tga", AlphaNone, 0), 0u);
    EXPECT_TRUE(errors.Has("Unable to load the texture file:"));
    EXPECT_EQ(Textures.count, TextureSlots);
    EXPECT_NE(LoadTexture("t000.tga", AlphaNone, 0), 0u);  // what is cached stays usable
}

TEST_F(TextureCacheTest, AlphaRulesReachTheTexture) {
    // Black, almost black (red 1), white, the first pixel's colour again.
    media.Write("mask.tga", Tga24(4, 1, {0, 0, 0, 0, 0, 1, 255, 255, 255, 0, 0, 0}));
    struct Case {
        AlphaMode mode;
        std::vector<int> alphas;
    } cases[] = {
        {AlphaBlackMask, {0, 255, 255, 0}},
        {AlphaRed, {255, 255, 0, 255}},
        {AlphaGreen, {0, 255, 255, 0}},
        {AlphaLuminance, {255, 255, 0, 255}},
        {AlphaIlluminance, {0, 0, 255, 0}},
        {AlphaRedMask, {100, 100, 100, 100}},
    };
    for (const Case& c : cases) {
        InitTextureCache(true);  // a fresh cache, so the file is loaded with this rule
        const uint32_t t = LoadTexture("mask.tga", c.mode, 100.5f);
        ASSERT_NE(t, 0u);
        const std::vector<uint8_t> texels = TexturePixels(t);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(texels[4 * i + 3], c.alphas[i]) << c.mode << " " << i;
        EXPECT_EQ(texels[4 * 1 + 0], 1) << "red of the second texel";
        GLuint name = t;
        glDeleteTextures(1, &name);
    }
}

TEST_F(TextureCacheTest, InternalFormatFollowsQualityAndAlpha) {
    media.Write("a.tga", SolidTga(2, 2, 120, 180, 200));  // cream (200, 180, 120)
    struct Case {
        bool highQuality;
        AlphaMode mode;
        GLint format;
    } cases[] = {
        {true, AlphaNone, GL_RGB},
        {true, AlphaBlackMask, GL_RGBA},
        {false, AlphaNone, GL_RGB4},
        {false, AlphaLuminance, GL_RGBA4},
    };
    for (const Case& c : cases) {
        ReleaseTextures();
        InitTextureCache(c.highQuality);
        const uint32_t t = LoadTexture("a.tga", c.mode, 0);
        ASSERT_NE(t, 0u);
        EXPECT_EQ(LevelParameter(t, 0, GL_TEXTURE_INTERNAL_FORMAT), c.format)
            << c.highQuality << " " << c.mode;
        if (c.mode == AlphaNone) {
            // Fewer bits, not other colours: 3-3-2 texels made this cream (182, 182, 85).
            uint8_t texel[2 * 2 * 4] = {};
            glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
            EXPECT_NEAR(texel[0], 200, 12);
            EXPECT_NEAR(texel[1], 180, 12);
            EXPECT_NEAR(texel[2], 120, 12);
        }
        GLint filter = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
        EXPECT_EQ(filter, GL_LINEAR);
    }
}

TEST_F(TextureCacheTest, MipmapsNeedHighQualityAndSize) {
    media.Write("small.tga", SolidTga(64, 32, 1, 2, 3));
    media.Write("square.tga", SolidTga(64, 64, 1, 2, 3));
    const uint32_t small = LoadTexture("small.tga", AlphaNone, 0);
    const uint32_t square = LoadTexture("square.tga", AlphaNone, 0);
    EXPECT_FALSE(BuildMipmaps(small));  // 64 + 32 < 128
    EXPECT_FALSE(BuildMipmaps(0));
    EXPECT_FALSE(BuildMipmaps(square + 1000));  // not a cached texture
    EXPECT_EQ(LevelParameter(small, 1, GL_TEXTURE_WIDTH), 0);

    ReleaseTextures();
    InitTextureCache(false);
    const uint32_t lowQuality = LoadTexture("square.tga", AlphaNone, 0);
    EXPECT_FALSE(BuildMipmaps(lowQuality));
    EXPECT_EQ(LevelParameter(lowQuality, 1, GL_TEXTURE_WIDTH), 0);
}

TEST_F(TextureCacheTest, MipmapChainOfASquareGoesDownToOneTexel) {
    // A 1-texel checkerboard of black and white averages to mid gray on every level.
    std::vector<uint8_t> bgr;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const uint8_t v = (x + y) % 2 ? 255 : 0;
            bgr.insert(bgr.end(), {v, v, v});
        }
    media.Write("check.tga", Tga24(64, 64, bgr));
    const uint32_t t = LoadTexture("check.tga", AlphaNone, 0);
    ASSERT_TRUE(BuildMipmaps(t));
    for (int level = 1; level <= 6; ++level) {
        EXPECT_EQ(LevelParameter(t, level, GL_TEXTURE_WIDTH), 64 >> level) << level;
        EXPECT_EQ(LevelParameter(t, level, GL_TEXTURE_HEIGHT), 64 >> level) << level;
        EXPECT_EQ(LevelParameter(t, level, GL_TEXTURE_INTERNAL_FORMAT), GL_RGB) << level;
    }
    EXPECT_EQ(LevelParameter(t, 7, GL_TEXTURE_WIDTH), 0);
    EXPECT_EQ(TexturePixels(t, 1)[0], 127);
    EXPECT_EQ(TexturePixels(t, 6)[0], 127);
    GLint filter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    EXPECT_EQ(filter, GL_NEAREST_MIPMAP_NEAREST);
}

TEST_F(TextureCacheTest, MipmapChainOfAWideTextureEndsTwoByOneThenOneByOne) {
    media.Write("wide.tga", SolidTga(256, 128, 40, 80, 120));
    const uint32_t t = LoadTexture("wide.tga", AlphaBlackMask, 0);
    ASSERT_TRUE(BuildMipmaps(t));
    const int widths[] = {128, 64, 32, 16, 8, 4, 2, 1};
    const int heights[] = {64, 32, 16, 8, 4, 2, 1, 1};
    for (int level = 1; level <= 8; ++level) {
        EXPECT_EQ(LevelParameter(t, level, GL_TEXTURE_WIDTH), widths[level - 1]) << level;
        EXPECT_EQ(LevelParameter(t, level, GL_TEXTURE_HEIGHT), heights[level - 1]) << level;
        EXPECT_EQ(LevelParameter(t, level, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA) << level;
    }
    EXPECT_EQ(LevelParameter(t, 9, GL_TEXTURE_WIDTH), 0);
    const std::vector<uint8_t> last = TexturePixels(t, 8);
    EXPECT_EQ(std::vector<int>(last.begin(), last.end()), (std::vector<int>{120, 80, 40, 255}));
}

TEST_F(TextureCacheTest, AStripOfOneRowGetsItsChainToo) {
    // 128 x 1: every level keeps the one row (the first level is 64 x 1, not 64 x 0).
    media.Write("strip.tga", SolidTga(128, 1, 9, 9, 9));
    const uint32_t t = LoadTexture("strip.tga", AlphaNone, 0);
    ASSERT_TRUE(BuildMipmaps(t));
    EXPECT_EQ(LevelParameter(t, 1, GL_TEXTURE_WIDTH), 64);
    EXPECT_EQ(LevelParameter(t, 1, GL_TEXTURE_HEIGHT), 1);
    EXPECT_EQ(LevelParameter(t, 7, GL_TEXTURE_WIDTH), 1);
}

TEST_F(TextureCacheTest, ReleaseDeletesEveryNameAndEmptiesTheCache) {
    media.Write("a.tga", SolidTga(2, 2, 5, 5, 5));
    media.Write("b.bmp", EncodeBmp(std::vector<uint8_t>(12, 7), 2, 2, 24));
    const uint32_t a = LoadTexture("a.tga", AlphaNone, 0);
    const uint32_t b = LoadTexture("b.bmp", AlphaNone, 0);
    ASSERT_TRUE(glIsTexture(a));
    ASSERT_TRUE(glIsTexture(b));
    ReleaseTextures();
    EXPECT_FALSE(glIsTexture(a));
    EXPECT_FALSE(glIsTexture(b));
    EXPECT_EQ(Textures.count, 0);
    EXPECT_EQ(Textures.entries[0].glName, 0u);
    EXPECT_STREQ(Textures.entries[1].fileName, "");
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
