#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "hud/text_overlay.h"

namespace {

// Counts bright pixels (all three colours above 200) in columns [x0, x1) of the bitmap,
// over all rows, and reports the lowest and highest top-down row they appear in.
struct Bright {
    int count = 0, topRow = 1 << 30, bottomRow = -1, rightColumn = -1;
};

Bright FindBright(const TextOverlay& o, int x0 = 0, int x1 = -1) {
    if (x1 < 0) x1 = o.width;
    Bright b;
    for (int storedRow = 0; storedRow < o.height; ++storedRow)
        for (int x = x0; x < x1; ++x) {
            const uint8_t* p = o.pixels + 4 * (storedRow * o.width + x);
            if (p[0] > 200 && p[1] > 200 && p[2] > 200) {
                const int row = o.height - 1 - storedRow;  // rows are stored bottom-up
                ++b.count;
                b.topRow = std::min(b.topRow, row);
                b.bottomRow = std::max(b.bottomRow, row);
                b.rightColumn = std::max(b.rightColumn, x);
            }
        }
    return b;
}

struct OverlayFixture : ::testing::Test {
    TextOverlay overlay;
    void SetUp() override { ASSERT_TRUE(CreateOverlay(overlay, 0, 456, 120, 480, 640, 480, false)); }
    void TearDown() override { ReleaseOverlay(overlay); }
};

}  // namespace

TEST_F(OverlayFixture, IsABlack120By24BoxAtTheBottomLeftCorner) {
    EXPECT_EQ(overlay.width, 120);
    EXPECT_EQ(overlay.height, 24);
    EXPECT_EQ(overlay.byteCount, 120 * 24 * 4);
    EXPECT_FLOAT_EQ(overlay.rasterX, -1.0f);
    EXPECT_FLOAT_EQ(overlay.rasterY, -1.0f);
    ASSERT_NE(overlay.pixels, nullptr);
    for (int i = 0; i < overlay.byteCount; ++i) ASSERT_EQ(overlay.pixels[i], 0) << i;
    EXPECT_NE(overlay.font, nullptr) << "the HUD font (fonts-dejavu-core) is missing";
}

TEST_F(OverlayFixture, TextIsWhiteOnBlackAtTheTopLeftAndClearingBlanksIt) {
    EXPECT_GT(DrawOverlayText(overlay, "Zeppelin", ScoreRect, 0), 0);
    EXPECT_STREQ(overlay.text, "Zeppelin");
    const Bright b = FindBright(overlay);
    EXPECT_GT(b.count, 40);
    EXPECT_LE(b.topRow, 6);       // starts near the top of the strip
    EXPECT_LT(b.bottomRow, 24);   // and fits in it
    EXPECT_LT(b.rightColumn, 100);

    ClearOverlay(overlay);
    EXPECT_STREQ(overlay.text, "");
    for (int i = 0; i < overlay.byteCount; ++i) ASSERT_EQ(overlay.pixels[i], 0) << i;
}

TEST_F(OverlayFixture, LongTextIsCutAtTheRightEdge) {
    DrawOverlayText(overlay, "MMMMMMMMMMMMMMMMMMMMMMMMMMMMMM", ScoreRect, 0);
    const Bright lastColumns = FindBright(overlay, 110, 120);
    EXPECT_GT(lastColumns.count, 0);
    EXPECT_EQ(FindBright(overlay).rightColumn, 119);
}

TEST(Overlay, BadSizesGiveNoBitmapAndDrawingStaysSafe) {
    TextOverlay o;
    EXPECT_FALSE(CreateOverlay(o, 10, 10, 10, 30, 640, 480, false));
    EXPECT_FALSE(CreateOverlay(o, 0, 0, 120, 24, 0, 480, false));
    EXPECT_EQ(o.pixels, nullptr);
    ClearOverlay(o);
    EXPECT_EQ(DrawOverlayText(o, "SCORE: 0", ScoreRect, 0), 0);
    EXPECT_STREQ(o.text, "SCORE: 0");
    ReleaseOverlay(o);
    ReleaseOverlay(o);  // twice is harmless
}
