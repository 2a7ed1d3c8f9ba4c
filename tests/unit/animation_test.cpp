#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "assets/skinned_model.h"
#include "support/error_capture.h"

namespace {

const char* const Identity = "1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1";

std::string TranslationX(float x) {
    return "1 0 0 0 0 1 0 0 0 0 1 0 " + std::to_string(x) + " 0 0 1";
}

// A body with a "slide" bone whose pose moves along X: 4 at key 0.0, 8 at key 0.5, on a
// cycle of 1.0. Vertex 0 follows the slide fully, vertex 1 at half weight, vertex 2
// follows the body, vertex 3 nothing.
std::string SlideModel(int keys = 2) {
    std::string s =
        "A3F VERTICES { POSITION_NORMAL 4\n"
        "1 0 0 0 0 2\n2 2 0 0 1 0\n0 0 3 1 0 0\n5 5 5 0 1 0\n} FACES { 1 0 1 2 0 }\n"
        "BONES { 2\n"
        "{ NAME body PARENT NONE MATRIX " + std::string(Identity) +
        " VERTEX_WEIGHTS { 1 2 1.0 } }\n"
        "{ NAME slide PARENT body MATRIX " + Identity + " VERTEX_WEIGHTS { 2 0 1.0 1 0.5 } }\n"
        "}\n";
    s += "ANIMATIONS { 1 ANIMATION { slide 1.0 " + std::to_string(keys) + "\n";
    s += "ANIM_KEY { 0.0 1 ANIM_FRAME { slide " + TranslationX(4) + " } }\n";
    if (keys > 1) s += "ANIM_KEY { 0.5 1 ANIM_FRAME { slide " + TranslationX(8) + " } }\n";
    return s + "} }\n";
}

struct SlideTest : testing::Test {
    ErrorCapture errors;
    SkinnedModel skinned;
    void SetUp() override { Load(SlideModel()); }
    void TearDown() override { ReleaseSkinnedModel(skinned); }
    void Load(const std::string& text) {
        ReleaseSkinnedModel(skinned);
        LoadSkinnedModelFromMemory(skinned, "slide.a3f", text.data(), text.size());
        ASSERT_TRUE(errors.reports.empty());
        ASSERT_EQ(skinned.boneCount, 2u);
    }
    Animation& Anim() { return skinned.animations[0]; }
    Bone& Slide() { return skinned.bones[1]; }
    // Plays from time `from` (blend-in over) by dt and returns the slide's pose X.
    float PlayFrom(float from, float dt) {
        StartAnimation(skinned, 0);
        Anim().blending = false;
        Anim().time = from;
        AnimateBones(skinned, dt);
        return Slide().pose[12];
    }
};

}  // namespace

TEST_F(SlideTest, KeysInterpolateAndWrapToTheFirst) {
    // t 0.75: key 1 toward key 0 one cycle later (tn 1.0), halfway.
    EXPECT_FLOAT_EQ(PlayFrom(0.7f, 0.05f), 6.0f);
    EXPECT_NEAR(PlayFrom(0.85f, 0.025f), 5.0f, 1e-5f);  // t 0.875: three quarters back
    // t 0.25: key 0 toward key 1, halfway; t 0.125 a quarter of the way.
    EXPECT_FLOAT_EQ(PlayFrom(0.2f, 0.05f), 6.0f);
    EXPECT_FLOAT_EQ(PlayFrom(0.1f, 0.025f), 5.0f);
    EXPECT_FLOAT_EQ(Anim().time, 0.125f);
    // The world follows the pose under the identity root.
    EXPECT_FLOAT_EQ(Slide().world[12], 5.0f);
}

TEST_F(SlideTest, LoopingWrapsAndNonLoopingFinishes) {
    PlayFrom(0.0f, 2.6f);
    EXPECT_NEAR(Anim().time, 0.6f, 1e-6f);
    EXPECT_FALSE(skinned.finished);

    PlayFrom(0.9f, 0.05f);
    Anim().looping = false;
    float pose = Slide().pose[12];
    Slide().world[12] = -1.0f;  // marks whether the world is recomputed
    AnimateBones(skinned, 0.2f);
    EXPECT_TRUE(skinned.finished);
    EXPECT_FLOAT_EQ(Anim().time, 0.95f);  // not stored when it would pass the length
    EXPECT_FLOAT_EQ(Slide().pose[12], pose);
    EXPECT_FLOAT_EQ(Slide().world[12], -1.0f);  // returned without propagating

    // Finished: the last poses stay and only the world matrices are rebuilt.
    AnimateBones(skinned, 0.1f);
    EXPECT_FLOAT_EQ(Anim().time, 0.95f);
    EXPECT_FLOAT_EQ(Slide().world[12], pose);
}

TEST_F(SlideTest, BlendInMovesTowardTheFirstKey) {
    StartAnimation(skinned, 0);
    EXPECT_TRUE(Anim().blending);
    EXPECT_TRUE(Anim().looping);
    EXPECT_FLOAT_EQ(Anim().time, -0.25f);
    // From -0.25 by 0.05: f = 0.05 / 0.2 = 0.25 of the way from 0 to 4.
    AnimateBones(skinned, 0.05f);
    EXPECT_FLOAT_EQ(Slide().pose[12], 1.0f);
    EXPECT_FLOAT_EQ(Anim().time, -0.2f);
    EXPECT_TRUE(Anim().blending);

    // From -0.1 by 0.06: 0.06 / 0.04 is limited to 1, the first key exactly.
    Anim().time = -0.1f;
    Slide().pose[12] = 0.0f;
    AnimateBones(skinned, 0.06f);
    EXPECT_FLOAT_EQ(Slide().pose[12], 4.0f);

    // From -0.25 by 0.3: the blend ends and the same step plays at 0.05 (a tenth of the
    // way from 4 to 8).
    StartAnimation(skinned, 0);
    AnimateBones(skinned, 0.3f);
    EXPECT_FALSE(Anim().blending);
    EXPECT_NEAR(Anim().time, 0.05f, 1e-6f);
    EXPECT_NEAR(Slide().pose[12], 4.4f, 1e-5f);

    // Steps of 0.25 then 0 (the propeller at throttle 0): the blend ends on the first key;
    // no 0/0 leaves the bone and its vertices NaN.
    StartAnimation(skinned, 0);
    AnimateBones(skinned, 0.25f);
    AnimateBones(skinned, 0.0f);
    EXPECT_FLOAT_EQ(Slide().pose[12], 4.0f);
    EXPECT_FLOAT_EQ(Slide().world[12], 4.0f);
}

TEST_F(SlideTest, SingleKeyCopiesAndFinishesWhenNotLooping) {
    Load(SlideModel(1));
    PlayFrom(0.3f, 0.1f);
    EXPECT_FLOAT_EQ(Slide().pose[12], 4.0f);
    EXPECT_FLOAT_EQ(Anim().time, 0.3f);  // a single key keeps no time
    EXPECT_FALSE(skinned.finished);
    Anim().looping = false;
    AnimateBones(skinned, 0.1f);
    EXPECT_TRUE(skinned.finished);
}

TEST_F(SlideTest, SkinningWeighsVerticesByTheirBones) {
    // Bind pose (no animation started): weighted vertices stay where they are.
    UpdateSkinnedModel(skinned, 0.1f);
    const float* p = skinned.skinPositions;
    const float* n = skinned.skinNormals;
    EXPECT_FLOAT_EQ(p[0], 1.0f);
    EXPECT_FLOAT_EQ(p[3], 1.0f);  // half of x 2
    EXPECT_FLOAT_EQ(p[4], 1.0f);  // half of y 2
    EXPECT_FLOAT_EQ(p[8], 3.0f);
    // A vertex no bone weights stays at the origin.
    EXPECT_EQ(p[9], 0.0f);
    EXPECT_EQ(p[10], 0.0f);
    EXPECT_EQ(p[11], 0.0f);
    // Normals come out rotated and scaled to unit length, then weighted (unnormalised sum).
    EXPECT_FLOAT_EQ(n[2], 1.0f);  // (0, 0, 2) -> (0, 0, 1)
    EXPECT_FLOAT_EQ(n[4], 0.5f);  // half weight
    EXPECT_EQ(n[9], 0.0f);

    // Slid to X + 6 (t 0.75): full weight moves 6, half weight half of the moved point.
    StartAnimation(skinned, 0);
    Anim().blending = false;
    Anim().time = 0.7f;
    UpdateSkinnedModel(skinned, 0.05f);
    EXPECT_FLOAT_EQ(p[0], 7.0f);
    EXPECT_FLOAT_EQ(p[3], 4.0f);  // 0.5 * (2 + 6)
    EXPECT_FLOAT_EQ(p[8], 3.0f);  // the body did not move
    EXPECT_EQ(p[9], 0.0f);
    EXPECT_FLOAT_EQ(n[2], 1.0f);  // a translation leaves normals alone

    // An invisible model is not updated.
    skinned.model.visible = 0;
    UpdateSkinnedModel(skinned, 0.25f);
    EXPECT_FLOAT_EQ(p[0], 7.0f);
}

TEST_F(SlideTest, DegenerateTimingNeverHangsOrReadsPastKeys) {
    // Records changed behind the loader's back: a vanishing cycle length against a huge
    // step, a negative length, no keys at all, an animation index out of range.
    StartAnimation(skinned, 0);
    Anim().blending = false;
    Anim().length = 1e-30f;
    UpdateSkinnedModel(skinned, 1e9f);
    EXPECT_GE(Anim().time, 0.0f);
    Anim().length = -1.0f;
    Anim().time = -5.0f;
    UpdateSkinnedModel(skinned, 0.1f);
    Anim().length = 1.0f;
    Anim().time = 0.0f;
    UpdateSkinnedModel(skinned, std::nanf(""));
    Anim().keyCount = 0;
    UpdateSkinnedModel(skinned, 0.1f);
    Anim().keyCount = 2;
    skinned.currentAnimation = 7;
    UpdateSkinnedModel(skinned, 0.1f);
    StartAnimation(skinned, 3);
    EXPECT_EQ(skinned.currentAnimation, 7);  // an unknown index starts nothing
    EXPECT_TRUE(errors.reports.empty());
}
