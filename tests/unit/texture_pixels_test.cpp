#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "assets/texture_pixels.h"

namespace {

// Pixels given as blue, green, red, alpha; returns the alphas after the rule.
std::vector<int> Alphas(std::vector<uint8_t> bgra, AlphaMode mode, float param = 0) {
    ApplyAlphaRule(bgra.data(), static_cast<int>(bgra.size() / 4), mode, param);
    std::vector<int> alphas;
    for (size_t i = 3; i < bgra.size(); i += 4) alphas.push_back(bgra[i]);
    return alphas;
}

}  // namespace

TEST(AlphaRule, SwapsBlueAndRedForEveryPixel) {
    std::vector<uint8_t> p = {1, 2, 3, 9, 4, 5, 6, 9};
    ApplyAlphaRule(p.data(), 2, AlphaNone, 0);
    EXPECT_EQ(p, (std::vector<uint8_t>{3, 2, 1, 255, 6, 5, 4, 255}));
}

TEST(AlphaRule, MasksOnlyExactColours) {
    // Black, (red 1), white, almost white (blue 254).
    const std::vector<uint8_t> p = {0, 0, 0, 7, 0, 0, 1, 7, 255, 255, 255, 7, 254, 255, 255, 7};
    EXPECT_EQ(Alphas(p, AlphaBlackMask), (std::vector<int>{0, 255, 255, 255}));
    EXPECT_EQ(Alphas(p, AlphaRed), (std::vector<int>{255, 255, 0, 255}));
}

TEST(AlphaRule, LuminanceAndIlluminanceFollowTheAverage) {
    // White, black, and (10, 20, 31) whose sum 61 averages to 20.
    const std::vector<uint8_t> p = {255, 255, 255, 0, 0, 0, 0, 0, 31, 20, 10, 0};
    EXPECT_EQ(Alphas(p, AlphaLuminance), (std::vector<int>{0, 255, 235}));
    EXPECT_EQ(Alphas(p, AlphaIlluminance), (std::vector<int>{255, 0, 20}));
}

TEST(AlphaRule, GreenKeysOutTheFirstPixelsColour) {
    // First pixel (5, 6, 7); the same colour later; a colour with blue and red exchanged,
    // which must not be mistaken for it.
    const std::vector<uint8_t> p = {5, 6, 7, 1, 9, 9, 9, 1, 5, 6, 7, 1, 7, 6, 5, 1};
    EXPECT_EQ(Alphas(p, AlphaGreen), (std::vector<int>{0, 255, 0, 255}));
}

TEST(AlphaRule, RedMaskUsesTheParameterAndOthersKeepTheReadersAlpha) {
    const std::vector<uint8_t> p = {1, 2, 3, 77};
    EXPECT_EQ(Alphas(p, AlphaRedMask, 128.9f), (std::vector<int>{128}));
    EXPECT_EQ(Alphas(p, AlphaRedMask, 300.0f), (std::vector<int>{44}));  // low 8 bits
    EXPECT_EQ(Alphas(p, AlphaRedMask, -1.5f), (std::vector<int>{255}));  // -1 truncated
    EXPECT_EQ(Alphas(p, AlphaRedMask, 1e20f), (std::vector<int>{0}));    // no integer holds it
    for (AlphaMode mode : {AlphaBlue, AlphaGreenMask, AlphaBlueMask, AlphaNumber})
        EXPECT_EQ(Alphas(p, mode, 5), (std::vector<int>{77})) << mode;
}

TEST(HalveTexels, AveragesTwoByTwoBlocksTruncating) {
    // 4 x 2 source: the left block has one byte pattern summing to 1+2+3+5 = 11 -> 2.
    const std::vector<uint8_t> source = {
        1, 0, 0, 255, 2, 0, 0, 255, 10, 10, 10, 10, 20, 20, 20, 20,
        3, 0, 0, 255, 5, 0, 0, 254, 30, 30, 30, 30, 41, 41, 41, 41,
    };
    std::vector<uint8_t> target(2 * 1 * 4, 0xAA);
    HalveTexels(source.data(), 4, 2, target.data());
    EXPECT_EQ(target, (std::vector<uint8_t>{2, 0, 0, 254, 25, 25, 25, 25}));
}

TEST(HalveTexels, ASideOfOneRepeatsItsRowOrColumn) {
    const std::vector<uint8_t> strip = {0, 0, 0, 0, 100, 100, 100, 100, 7, 7, 7, 7, 9, 9, 9, 9};
    std::vector<uint8_t> wide(2 * 4, 0xAA);
    HalveTexels(strip.data(), 4, 1, wide.data());
    EXPECT_EQ(wide, (std::vector<uint8_t>{50, 50, 50, 50, 8, 8, 8, 8}));
    std::vector<uint8_t> tall(2 * 4, 0xAA);
    HalveTexels(strip.data(), 1, 4, tall.data());
    EXPECT_EQ(tall, (std::vector<uint8_t>{50, 50, 50, 50, 8, 8, 8, 8}));
}

TEST(FourBitTexels, EveryLevelOfEveryChannelGoesToTheNearestOfSixteen) {
    // Pixel i carries level i in one channel and other levels in the rest, so a channel
    // rounded with another's value shows.
    for (int channel = 0; channel < 4; ++channel) {
        std::vector<uint8_t> p(4 * 256);
        for (int i = 0; i < 256; ++i)
            for (int k = 0; k < 4; ++k) p[4 * i + k] = static_cast<uint8_t>(k == channel ? i : 255 - i);
        RoundTexelsToFourBits(p.data(), 256);
        for (int i = 0; i < 256; ++i) {
            const int r = p[4 * i + channel];
            EXPECT_EQ(r % 17, 0) << i;
            EXPECT_LE(std::abs(r - i), 8) << i;  // levels lie 17 apart: nearest is within 8.5
            EXPECT_EQ(p[4 * i + (channel + 1) % 4] % 17, 0);
        }
    }
}
