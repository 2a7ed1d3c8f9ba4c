#include <gtest/gtest.h>

#include "core/game_app.h"
#include "sim/aircraft.h"
#include "sim/enemy_pilot.h"

namespace {

struct PilotTest : testing::Test {
    Aircraft a;  // no terrain: flies as if at ground height, never touches down
    void SetUp() override {
        FrameDt = 0.03f;
        a.position = {0, 1000, 0};
        SetTranslation(a.placement, a.position);
    }
    void TearDown() override { FrameDt = 0; }
};

}  // namespace

TEST_F(PilotTest, ThrustCommandGrowsWithDistanceFromFourToEightHundred) {
    PilotAircraft(a, a.position + Vec3{0, 0, 100});
    EXPECT_EQ(a.thrustCommand, 400.0f);
    PilotAircraft(a, a.position + Vec3{0, 0, 2400});
    EXPECT_FLOAT_EQ(a.thrustCommand, 600.0f);
    PilotAircraft(a, a.position + Vec3{0, 0, 3200});
    EXPECT_EQ(a.thrustCommand, 800.0f);
    PilotAircraft(a, a.position + Vec3{0, 0, 20000});
    EXPECT_EQ(a.thrustCommand, 800.0f);
}

TEST_F(PilotTest, TargetDeadAheadTurnsWithMinusAQuarterAndOpensFire) {
    PilotAircraft(a, a.position + Vec3{0, 0, 300});
    EXPECT_FLOAT_EQ(a.yawStep, -0.25f * 0.025f);  // e is exactly 0
    EXPECT_TRUE(a.firing);
    EXPECT_FLOAT_EQ(a.pitchStep, -0.02f);  // target not below: nose up
    EXPECT_EQ(a.rollStep, 0.0f);
}

TEST_F(PilotTest, HoldsFireWhenTheTargetIsFarOffToTheSideOrHeightOrRange) {
    PilotAircraft(a, a.position + Vec3{0, 150, 300});
    EXPECT_FALSE(a.firing);
    PilotAircraft(a, a.position + Vec3{0, 0, 2100});
    EXPECT_FALSE(a.firing);
    PilotAircraft(a, a.position + Vec3{300, 0, 300});
    EXPECT_FALSE(a.firing);
    EXPECT_FLOAT_EQ(a.yawStep, 0.25f * 0.025f);  // e < 0
}

TEST_F(PilotTest, NoseStraightUpPitchesByHeightAlone) {
    RotateLocal(a.placement, {-1.5707964f, 0, 0});
    ASSERT_GT(a.placement[9], 0.9999f);
    PilotAircraft(a, a.position + Vec3{500, 0, 500});
    EXPECT_FLOAT_EQ(a.pitchStep, -0.02f);  // D.y >= -50: nose up (b is 0)
    a.placement = Identity4;
    RotateLocal(a.placement, {-1.5707964f, 0, 0});
    SetTranslation(a.placement, a.position);
    a.velocity = {0, 0, 0};
    PilotAircraft(a, a.position + Vec3{500, -60, 500});
    EXPECT_FLOAT_EQ(a.pitchStep, 0.005f);  // D.y < -50: nose down
}

TEST_F(PilotTest, BankedWingsAreLevelled) {
    RotateLocal(a.placement, {0, 0, 0.5f});
    PilotAircraft(a, a.position + Vec3{0, 0, 1000});
    EXPECT_FLOAT_EQ(a.rollStep, -0.02f);
    a.placement = Identity4;
    RotateLocal(a.placement, {0, 0, -0.5f});
    PilotAircraft(a, a.position + Vec3{0, 0, 1000});
    EXPECT_FLOAT_EQ(a.rollStep, 0.02f);
}

TEST_F(PilotTest, ShotDownItSpinsAndSmokesThenFliesOnWhenTheTrailEnds) {
    Destroy(a);
    PilotAircraft(a, a.position + Vec3{0, 0, 100});
    EXPECT_EQ(a.thrustCommand, 0.0f);
    EXPECT_EQ(a.yawStep, -0.05f);
    EXPECT_EQ(a.rollStep, -0.05f);
    EXPECT_EQ(a.smokeCount, 1);
    EXPECT_FALSE(a.firing);
    int steps = 0;
    while (a.destroyed && steps < 10000) {
        PilotAircraft(a, a.position + Vec3{0, 0, 100});
        ++steps;
    }
    EXPECT_FALSE(a.destroyed);
    PilotAircraft(a, a.position + Vec3{0, 0, 100});
    EXPECT_EQ(a.thrustCommand, 400.0f);
}
