#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hud/text_overlay.h"
#include "platform/text_render.h"
#include "mind/score.h"
#include "senses.h"
#include "support/no_fonts.h"

namespace {

// The score line as the game draws it, over a window of pale sky: the overlay's bitmap
// (blue, green, red, x; rows bottom-up) in the bottom-left corner.
std::vector<uint8_t> Frame(const char* text, bool builtin) {
    TextOverlay o;
    EXPECT_TRUE(CreateOverlay(o, 0, 456, 120, 480, 640, 480, false));
    EXPECT_EQ(std::string(PlatformFontFile(o.font)).empty(), builtin);
    DrawOverlayText(o, text, ScoreRect, 0);
    std::vector<uint8_t> rgb(senses::FrameBytes, 0);
    for (size_t i = 0; i < rgb.size(); i += 3) rgb[i] = 150, rgb[i + 1] = 180, rgb[i + 2] = 215;
    for (int row = 0; row < o.height; ++row)
        for (int x = 0; x < o.width; ++x) {
            const uint8_t* p = o.pixels + 4 * ((o.height - 1 - row) * o.width + x);
            uint8_t* q = rgb.data() + 3 * ((senses::Height - o.height + row) * senses::Width + x);
            q[0] = p[2], q[1] = p[1], q[2] = p[0];
        }
    ReleaseOverlay(o);
    return rgb;
}

// What the pilot reads on each line: whether it is negative, and that no two look alike.
void ExpectReadings(bool builtin) {
    const char* lines[] = {"Zeppelin", "Tank", "Vornhald", "SCORE: 0", "SCORE: 4", "SCORE: 5", "SCORE: 14",
                           "SCORE: -1", "SCORE: -12", "GAME OVER"};
    std::vector<uint64_t> shapes;
    for (const char* line : lines) {
        const std::vector<uint8_t> rgb = Frame(line, builtin);
        EXPECT_EQ(mind::ScoreShowsMinus(rgb.data()), std::string(line).find('-') != std::string::npos) << line;
        const uint64_t shape = mind::ScoreLineShape(rgb.data());
        for (uint64_t seen : shapes) EXPECT_NE(shape, seen) << line;
        shapes.push_back(shape);
    }
}

}  // namespace

// Shot down and a kill both change the line; the pilot tells them apart by the minus, in
// the HUD's font and in the built-in letters of a desktop without fonts.
TEST(ScoreReading, AMinusTellsBeingHitFromAKill) { ExpectReadings(false); }

TEST(ScoreReading, AMinusTellsBeingHitFromAKillInTheBuiltinLetters) {
    NoFonts none;
    testing::internal::CaptureStderr();  // the missing font is reported
    ExpectReadings(true);
    testing::internal::GetCapturedStderr();
}
