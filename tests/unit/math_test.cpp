#include <gtest/gtest.h>

#include <cmath>

#include "math/mat4.h"
#include "math/random.h"
#include "math/view.h"

namespace {

void ExpectMatrixNear(const Mat4& a, const Mat4& b, float eps = 1e-5f) {
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(a.m[i], b.m[i], eps) << "element " << i;
}

Mat4 MakeMatrix(std::initializer_list<float> values) {
    Mat4 m{};
    int i = 0;
    for (float v : values) m.m[i++] = v;
    return m;
}

float ColumnLength(const Mat4& m, int c) { return Length(MatrixColumn(m, c)); }

}  // namespace

TEST(Normalize, ZeroLengthIsLeftUnchangedAndOthersAreScaled) {
    Vec3 zero{0, 0, 0};
    Normalize(zero);
    EXPECT_EQ(zero.x, 0.0f);
    EXPECT_EQ(zero.y, 0.0f);
    EXPECT_EQ(zero.z, 0.0f);

    Vec3 v{3, 4, 0};
    Normalize(v);
    EXPECT_FLOAT_EQ(v.x, 0.6f);
    EXPECT_FLOAT_EQ(v.y, 0.8f);
    EXPECT_EQ(v.z, 0.0f);

    Vec3 out{9, 9, 9};
    NormalizedCopy(Vec3{0, 0, 0}, out);
    EXPECT_EQ(out.x, 0.0f);
    EXPECT_EQ(out.y, 0.0f);
    NormalizedCopy(Vec3{3, 4, 0}, out);
    EXPECT_FLOAT_EQ(out.x, 0.6f);
    EXPECT_FLOAT_EQ(out.y, 0.8f);
}

TEST(Normalize, TinyButNonZeroVectorIsStillDivided) {
    // No epsilon: only an exact zero length is special.
    Vec3 v{1e-10f, 0, 0};
    Normalize(v);
    EXPECT_FLOAT_EQ(v.x, 1.0f);
}

TEST(TransformDirection, RotatesAndNormalisesIgnoringTranslation) {
    Mat4 m = Identity4;
    SetTranslation(m, {5, 6, 7});
    Vec3 out;
    TransformDirection(m, 0, 0, 2, out);
    EXPECT_FLOAT_EQ(out.x, 0.0f);
    EXPECT_FLOAT_EQ(out.y, 0.0f);
    EXPECT_FLOAT_EQ(out.z, 1.0f);
    TransformDirection(m, 0, 0, 0, out);
    EXPECT_EQ(out.z, 0.0f);
}

TEST(Jitter, MovesEachComponentWithinTwoTenthsUsingOneDrawEach) {
    SeedRand(1);
    Vec3 v{0, 0, 0};
    Jitter(v);
    // Seed 1 draws 41, 18467, 6334.
    EXPECT_FLOAT_EQ(v.x, (1.0f - 41 * 6.1037019e-05f) * 0.2f);
    EXPECT_FLOAT_EQ(v.y, (1.0f - 18467 * 6.1037019e-05f) * 0.2f);
    EXPECT_FLOAT_EQ(v.z, (1.0f - 6334 * 6.1037019e-05f) * 0.2f);
    for (int i = 0; i < 1000; ++i) {
        Vec3 w{0, 0, 0};
        Jitter(w);
        EXPECT_LE(std::fabs(w.x), 0.2f + 1e-6f);
        EXPECT_LE(std::fabs(w.y), 0.2f + 1e-6f);
        EXPECT_LE(std::fabs(w.z), 0.2f + 1e-6f);
    }
}

TEST(EulerMatrix, ZeroAnglesGiveIdentityWithTranslation) {
    Mat4 m;
    EulerMatrix({0, 0, 0}, m, {1, 2, 3});
    Mat4 expected = Identity4;
    SetTranslation(expected, {1, 2, 3});
    ExpectMatrixNear(m, expected, 0.0f);
}

TEST(EulerMatrix, QuarterTurnAboutYMapsXToMinusZAndZToX) {
    Mat4 m;
    EulerMatrix({0, 1.5707964f, 0}, m, {0, 0, 0});
    EXPECT_NEAR(m.m[2], -1.0f, 1e-6f);
    EXPECT_NEAR(m.m[8], 1.0f, 1e-6f);
    EXPECT_NEAR(m.m[0], 0.0f, 1e-6f);
    EXPECT_NEAR(m.m[10], 0.0f, 1e-6f);
}

TEST(EulerMatrix, ComposesZThenXThenY) {
    // R = Ry(e1) Rx(e0) Rz(e2): element 9 is -sin(e0) and element 1 is sin(e2)cos(e0).
    Mat4 m;
    EulerAngles e{0.3f, 0.5f, 0.7f};
    EulerMatrix(e, m, {0, 0, 0});
    EXPECT_NEAR(m.m[9], -std::sin(0.3f), 1e-6f);
    EXPECT_NEAR(m.m[1], std::sin(0.7f) * std::cos(0.3f), 1e-6f);
    EXPECT_NEAR(m.m[8], std::sin(0.5f) * std::cos(0.3f), 1e-6f);
    // A rotation: unit orthogonal axes.
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(ColumnLength(m, c), 1.0f, 1e-6f);
    EXPECT_NEAR(Dot(MatrixColumn(m, 0), MatrixColumn(m, 1)), 0.0f, 1e-6f);
}

TEST(PlacementMatrix, ScalesBeforeRotatingAndTranslating) {
    Mat4 m;
    PlacementMatrix(m, 2, 3, 4, {0, 1.5707964f, 0}, {10, 20, 30});
    Vec3 p = TransformPoint(m, {1, 0, 0});
    EXPECT_NEAR(p.x, 10.0f, 1e-5f);
    EXPECT_NEAR(p.z, 28.0f, 1e-5f);  // x scaled by 2 then turned to -z
    EXPECT_NEAR(ColumnLength(m, 1), 3.0f, 1e-5f);
    EXPECT_EQ(m.m[15], 1.0f);
}

TEST(AffineMultiply, IdentityForcesBottomRowAndKeepsTheRest) {
    Mat4 a = MakeMatrix({1, 2, 3, 9, 4, 5, 6, 9, 7, 8, 9, 9, 10, 11, 12, 9});
    Mat4 out;
    AffineMultiply(out, a, Identity4);
    Mat4 expected = MakeMatrix({1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 1});
    ExpectMatrixNear(out, expected, 0.0f);
    AffineMultiply(out, Identity4, a);
    ExpectMatrixNear(out, expected, 0.0f);
}

TEST(AffineMultiply, AppliesTheRightHandMatrixFirstAndMayAliasItsOutput) {
    Mat4 turn, move;
    EulerMatrix({0, 1.5707964f, 0}, turn, {0, 0, 0});
    EulerMatrix({0, 0, 0}, move, {1, 0, 0});
    Mat4 out = turn;
    AffineMultiply(out, out, move);  // turn * move: move first, then turn
    Vec3 p = TransformPoint(out, {0, 0, 0});
    EXPECT_NEAR(p.x, 0.0f, 1e-6f);
    EXPECT_NEAR(p.z, -1.0f, 1e-6f);
}

TEST(Invert4, RigidTransformGivesTransposeAndMinusRtT) {
    Mat4 m;
    EulerMatrix({0.2f, -0.4f, 1.1f}, m, {3, -2, 5});
    Mat4 inv = m;
    Invert4(inv);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(inv.m[4 * c + r], m.m[4 * r + c], 1e-5f);
    Vec3 t = MatrixTranslation(m);
    for (int r = 0; r < 3; ++r) {
        float expected = -Dot(MatrixColumn(m, r), t);
        EXPECT_NEAR(inv.m[12 + r], expected, 1e-4f);
    }
    Mat4 id = Identity4;
    Invert4(id);
    ExpectMatrixNear(id, Identity4, 0.0f);
}

TEST(Invert4, ScaledMatrixRoundTrips) {
    Mat4 m;
    PlacementMatrix(m, 80000, 80000, 80000, {0, 0, 0}, {0, -5000, 0});
    Mat4 inv = m;
    Invert4(inv);
    Mat4 back;
    AffineMultiply(back, m, inv);
    ExpectMatrixNear(back, Identity4, 1e-4f);
    EXPECT_NEAR(Determinant4(m), 80000.0f * 80000.0f * 80000.0f, 1e9f);
}

TEST(Minor3, DropsTheGivenRowAndColumn) {
    Mat4 m;
    for (int i = 0; i < 16; ++i) m.m[i] = static_cast<float>(i);
    Mat3 out;
    Minor3(m, 0, 0, out);  // without row 0 and column 0
    float expected[9] = {5, 6, 7, 9, 10, 11, 13, 14, 15};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(out.m[i], expected[i]);
}

TEST(BlendMatrices, EndsGiveUnitAxesAndTranslationIsLinear) {
    Mat4 a, b;
    PlacementMatrix(a, 2, 2, 2, {0, 0, 0}, {0, 0, 0});
    PlacementMatrix(b, 3, 3, 3, {0, 1.5707964f, 0}, {10, 20, 30});
    Mat4 m = a;
    BlendMatrices(m, b, 0.0f);
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(ColumnLength(m, c), 1.0f, 1e-6f);
    EXPECT_NEAR(m.m[0], 1.0f, 1e-6f);

    m = a;
    BlendMatrices(m, b, 1.0f);
    EXPECT_NEAR(m.m[2], -1.0f, 1e-6f);
    EXPECT_NEAR(m.m[14], 30.0f, 1e-5f);

    m = a;
    BlendMatrices(m, b, 0.25f);
    EXPECT_NEAR(m.m[12], 2.5f, 1e-5f);
    EXPECT_NEAR(m.m[13], 5.0f, 1e-5f);
}

TEST(BlendMatrices, OppositeRotationsCollapseToZeroAxesWithoutDividing) {
    Mat4 a = Identity4;
    Mat4 b;
    EulerMatrix({0, 3.14159265f, 0}, b, {0, 0, 0});
    BlendMatrices(a, b, 0.5f);
    // Columns 0 and 2 cancel out (left at length ~0, not NaN); column 1 survives.
    EXPECT_FALSE(std::isnan(a.m[0]));
    EXPECT_NEAR(ColumnLength(a, 1), 1.0f, 1e-6f);
}

TEST(RotateLocal, TurnsAboutTheFramesOwnAxesAndKeepsTranslation) {
    Mat4 m;
    EulerMatrix({0, 1.5707964f, 0}, m, {1, 2, 3});  // nose (+z) now points along +x
    RotateLocal(m, {0.5f, 0, 0});                   // pitch about own X
    Mat4 expected;
    EulerMatrix({0, 1.5707964f, 0}, expected, {1, 2, 3});
    Mat4 pitch;
    EulerMatrix({0.5f, 0, 0}, pitch, {0, 0, 0});
    AffineMultiply(expected, expected, pitch);
    ExpectMatrixNear(m, expected);
    EXPECT_EQ(m.m[12], 1.0f);
    EXPECT_EQ(m.m[15], 1.0f);
}

TEST(ScaleAxesAndSetTilt, ChangeOnlyTheAxes) {
    Mat4 m = Identity4;
    SetTranslation(m, {7, 8, 9});
    SetTilt(m);
    EXPECT_NEAR(m.m[9], std::sin(1.57f), 1e-6f);  // -sin(-1.57)
    EXPECT_NEAR(m.m[5], std::cos(1.57f), 1e-6f);
    ScaleAxes(m, 2, 3, 4);
    EXPECT_NEAR(m.m[0], 2.0f, 1e-6f);
    EXPECT_NEAR(m.m[9], 4.0f * std::sin(1.57f), 1e-5f);  // column 2 scaled by sz
    EXPECT_EQ(m.m[12], 7.0f);
    EXPECT_EQ(m.m[14], 9.0f);
}

TEST(Frames, FromAxesNegatesTheFirstAndForwardUpIsNotNormalised) {
    Mat4 m;
    FrameFromAxes({1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {4, 5, 6}, m);
    EXPECT_EQ(m.m[0], -1.0f);
    EXPECT_EQ(m.m[5], 1.0f);
    EXPECT_EQ(m.m[14], 6.0f);
    EXPECT_EQ(m.m[15], 1.0f);

    FrameFromForwardUp({0, 2, 0}, {0, 0, 3}, {0, 0, 0}, m);
    // up x fwd = (6, 0, 0); fwd x (6,0,0) = (0, 18, 0).
    EXPECT_EQ(m.m[0], 6.0f);
    EXPECT_EQ(m.m[5], 18.0f);
    EXPECT_EQ(m.m[10], 3.0f);
}

TEST(AimAt, TurnsTheForwardAxisTowardTheTargetAndScalesIt) {
    Mat4 m;
    AimAt(m, {5, 2, 1}, {0, 0, 0}, {10, 0, 0}, {0, 1, 0});
    EXPECT_NEAR(m.m[8], 1.0f, 1e-6f);  // forward = +x
    EXPECT_EQ(m.m[12], 0.0f);
    // Up hint is sy * ((f x up) x f) = 2 * (0, 1, 0); column 0 = up x fwd.
    Vec3 right = MatrixColumn(m, 0);
    EXPECT_NEAR(right.z, -2.0f, 1e-6f);
}

TEST(AxisRotationStep, TurnsAbout0069RadiansCounterClockwise) {
    Mat4 m;
    AxisRotationStep(m, 0, 0, 1);
    EXPECT_NEAR(m.m[1], 0.06895f, 1e-5f);
    EXPECT_NEAR(m.m[4], -0.06895f, 1e-5f);
    EXPECT_EQ(m.m[12], 0.0f);
    EXPECT_EQ(m.m[15], 1.0f);
    // The wing normal: the up axis turned about the right axis leans toward the nose.
    AxisRotationStep(m, 1, 0, 0);
    Vec3 n = TransformPoint(m, {0, 1, 0});
    EXPECT_NEAR(n.y, std::cos(0.069f), 1e-4f);
    EXPECT_NEAR(std::fabs(n.z), std::sin(0.069f), 1e-4f);
}

TEST(LookAt, LookingDownMinusZIsTheIdentity) {
    LookAt({0, 0, 0}, {0, 0, -1}, {0, 1, 0});
    ExpectMatrixNear(LookAtMatrix, Identity4, 0.0f);
}

TEST(LookAt, EyeGoesToTheOriginOfViewSpace) {
    Vec3 eye{10, 20, 30};
    LookAt(eye, {0, 0, 0}, {0, 1, 0});
    Vec3 p = TransformPoint(LookAtMatrix, eye);
    EXPECT_NEAR(p.x, 0.0f, 1e-3f);
    EXPECT_NEAR(p.y, 0.0f, 1e-2f);
    EXPECT_NEAR(p.z, 0.0f, 1e-3f);
}

TEST(ViewFromBasis, InitialViewOfTheGame) {
    Mat4 v;
    ViewFromBasis(v, {0, 1, -5}, {0, 0, 1}, {-1, 0, 0}, {0, 1, 0});
    EXPECT_EQ(v.m[0], -1.0f);
    EXPECT_EQ(v.m[10], -1.0f);
    EXPECT_EQ(v.m[13], -1.0f);
    EXPECT_EQ(v.m[14], -5.0f);
}

TEST(ProjectionFrustum, FortyFiveDegreeVerticalFieldOfView) {
    Frustum f = ProjectionFrustum(1.0f);
    EXPECT_NEAR(f.left, -0.414213, 1e-6);
    EXPECT_NEAR(f.right, 0.414213, 1e-6);
    EXPECT_NEAR(f.top, 0.414213, 1e-6);
    EXPECT_EQ(f.nearPlane, 1.0);
    EXPECT_EQ(f.farPlane, 160000.0);
    Frustum w = ProjectionFrustum(640.0f / 480.0f);
    EXPECT_NEAR(w.right, 0.414213 * 640.0 / 480.0, 1e-6);
    EXPECT_NEAR(w.bottom, -0.414213, 1e-6);
}

TEST(Random, MatchesTheClassicRuntimeGenerator) {
    SeedRand(1);
    EXPECT_EQ(Rand(), 41);
    EXPECT_EQ(Rand(), 18467);
    EXPECT_EQ(Rand(), 6334);
    EXPECT_EQ(Rand(), 26500);
    EXPECT_EQ(Rand(), 19169);
    SeedRand(12345);
    int lo = RandMax, hi = 0;
    for (int i = 0; i < 100000; ++i) {
        int r = Rand();
        lo = std::min(lo, r);
        hi = std::max(hi, r);
    }
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, RandMax);
}
