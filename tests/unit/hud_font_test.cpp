#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/text_render.h"
#include "hud/text_overlay.h"
#include "sim/score.h"
#include "support/no_fonts.h"

namespace {

int BrightPixels(const TextOverlay& o, int x0, int x1) {
    int count = 0;
    for (int row = 0; row < o.height; ++row)
        for (int x = x0; x < x1; ++x) count += o.pixels[4 * (row * o.width + x) + 2] > 200;
    return count;
}

bool SameColumns(const TextOverlay& a, const TextOverlay& b, int x0, int x1) {
    for (int row = 0; row < a.height; ++row)
        for (int x = x0; x < x1; ++x)
            if (std::memcmp(a.pixels + 4 * (row * a.width + x), b.pixels + 4 * (row * b.width + x), 4) != 0)
                return false;
    return true;
}

}  // namespace

TEST(HudFont, FontconfigGivesDejaVuSansBold) {
    TextOverlay o;
    ASSERT_TRUE(CreateOverlay(o, 0, 456, 120, 480, 640, 480, false));
    EXPECT_NE(std::string(PlatformFontFile(o.font)).find("DejaVuSans-Bold.ttf"), std::string::npos)
        << "font: '" << PlatformFontFile(o.font) << "' (fonts-dejavu-core is a dependency)";
    ReleaseOverlay(o);
}

// A desktop without a single font: the HUD still shows every line in the built-in letters,
// each character its own shape, and the missing font is reported once, not at every open.
TEST(HudFont, WithoutAnyFontTheBuiltinLettersKeepTheHudReadable) {
    TextOverlay zero, eight, over;
    std::string said;
    {
        NoFonts none;
        testing::internal::CaptureStderr();
        const bool made = CreateOverlay(zero, 0, 456, 120, 480, 640, 480, false) &&
                          CreateOverlay(eight, 0, 456, 120, 480, 640, 480, false) &&
                          CreateOverlay(over, 0, 456, 120, 480, 640, 480, false);
        said = testing::internal::GetCapturedStderr();
        ASSERT_TRUE(made);
    }

    ASSERT_NE(zero.font, nullptr);
    EXPECT_STREQ(PlatformFontFile(zero.font), "");
    const size_t first = said.find("built-in letters");
    EXPECT_NE(first, std::string::npos) << said;
    EXPECT_EQ(said.find("built-in letters", first + 1), std::string::npos) << said;

    EXPECT_GT(DrawOverlayText(zero, "SCORE: 0", ScoreRect, 0), 0);
    EXPECT_GT(DrawOverlayText(eight, "Score: 8", ScoreRect, 0), 0);  // small letters as capitals
    // Seven equal cells, then a 0 and an 8 that differ; all within the 24-pixel strip.
    const int cell = 12;
    EXPECT_GT(BrightPixels(zero, 0, 7 * cell), 100);
    EXPECT_TRUE(SameColumns(zero, eight, 0, 7 * cell));
    EXPECT_GT(BrightPixels(zero, 7 * cell, 8 * cell), 20);
    EXPECT_GT(BrightPixels(eight, 7 * cell, 8 * cell), 20);
    EXPECT_FALSE(SameColumns(zero, eight, 7 * cell, 8 * cell));
    EXPECT_EQ(BrightPixels(zero, 8 * cell, zero.width), 0);

    DrawOverlayText(over, "GAME OVER", ScoreRect, 0);
    EXPECT_GT(BrightPixels(over, 0, 60), 60);
    EXPECT_GT(BrightPixels(over, 96, 108), 20);  // the R
    ReleaseOverlay(zero);
    ReleaseOverlay(eight);
    ReleaseOverlay(over);
}
