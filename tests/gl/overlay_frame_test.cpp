#include <gtest/gtest.h>

#include <GL/gl.h>

#include <vector>

#include "sim/game_flow.h"
#include "render/overlay.h"
#include "sim/score.h"
#include "support/gl_context.h"

namespace {

constexpr int Width = 1024, Height = 768;

struct Census {
    int white = 0, whiteOutside = 0, blueInside = 0, notBlueOutside = 0;
};

// Sorts the frame's pixels against the 120 x 24 box at the bottom-left corner.
Census Count(const std::vector<uint8_t>& frame) {
    Census c;
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            const uint8_t* p = &frame[4 * (y * Width + x)];
            const bool inside = x < 120 && y < 24;  // rows counted from the bottom
            const bool blue = p[0] == 0 && p[1] == 0 && p[2] == 255;
            const bool white = p[0] > 200 && p[1] > 200 && p[2] > 200;
            if (white) ++c.white;
            if (white && !inside) ++c.whiteOutside;
            if (blue && inside) ++c.blueInside;
            if (!blue && !inside) ++c.notBlueOutside;
        }
    return c;
}

struct HudFrame : ::testing::Test {
    GlContext gl{Width, Height};
    FlowState savedState = Flow.state;
    int savedScore = Score;
    void SetUp() override {
        ASSERT_TRUE(gl.Ok()) << gl.error;
        SetGameDrawingState(Width, Height);
        // As asset loading makes it: laid out for 640 x 480, placed by its corner.
        ASSERT_TRUE(CreateOverlay(ScoreOverlay, 0, 456, 120, 480, 640, 480, false));
    }
    void TearDown() override {
        ReleaseOverlay(ScoreOverlay);
        Flow.state = savedState;
        Score = savedScore;
    }
    std::vector<uint8_t> DrawFrame() {
        glClearColor(0, 0, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        DrawOverlay(ScoreOverlay);
        return ReadFrame(Width, Height);
    }
};

}  // namespace

TEST_F(HudFrame, ScoreLineIsWhiteTextInABlackBoxAtTheBottomLeft) {
    Flow.state = Playing;
    Score = 0;
    AddScore(-1);
    EXPECT_STREQ(ScoreOverlay.text, "SCORE: -1");
    const Census c = Count(DrawFrame());
    EXPECT_GT(c.white, 40);
    EXPECT_EQ(c.whiteOutside, 0);
    EXPECT_EQ(c.blueInside, 0);  // opaque: the box hides the scene
    EXPECT_EQ(c.notBlueOutside, 0);
}

TEST_F(HudFrame, GameOverReplacesTheScoreWhileDead) {
    Flow.state = Playing;
    Score = 10;
    AddScore(0);
    const std::vector<uint8_t> score = DrawFrame();
    Flow.state = Dead;
    AddScore(5);
    EXPECT_EQ(Score, 15);
    EXPECT_STREQ(ScoreOverlay.text, "GAME OVER");
    const std::vector<uint8_t> gameOver = DrawFrame();
    EXPECT_NE(score, gameOver);
    const Census c = Count(gameOver);
    EXPECT_GT(c.white, 40);
    EXPECT_EQ(c.whiteOutside, 0);
}

TEST_F(HudFrame, DrawingLeavesTheSceneStateAsItWas) {
    DrawOverlayText(ScoreOverlay, "Tank", ScoreRect, 0);
    glEnable(GL_LIGHTING);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glScalef(2, 2, 2);
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(5, 0, 0);
    DrawFrame();
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_PROJECTION);  // the frame's end pops the projection next
    GLfloat projection[16], modelView[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
    EXPECT_EQ(projection[0], 2.0f);
    EXPECT_EQ(modelView[12], 0.0f);  // left at the identity
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
