#include <gtest/gtest.h>

#include <cmath>

#include "sim/world.h"
#include "sim/aircraft.h"
#include "sim/flight_model.h"
#include "support/autopilot.h"
#include "support/terrain_grid.h"

namespace {

float Flat100(float, float) { return 100.0f; }
float Flat0(float, float) { return 0.0f; }
// Height 100 on the first vertex row (z = -25000), 300 everywhere else.
float FirstRowLow(float, float z) { return z < -24500.0f ? 100.0f : 300.0f; }

struct TerrainFixture : testing::Test {
    Model terrain;
    Aircraft a;
    void Use(HeightFunction height) {
        BuildTerrainGrid(terrain, height);
        a.terrain = &terrain;
    }
    void TearDown() override { FreeTerrainGrid(terrain); }
};

void PlaceAtStart(Aircraft& a) {
    a.position = {7600.0f, 629.0f, 6468.0f};
    SetTranslation(a.placement, a.position);
    FlyAircraft(a, 0.03f, 0.0f, 0.0f, 0.0f);
}

}  // namespace

TEST(EngineRamp, FullThrottleTakesAboutEightyOneStepsThenHuntsAroundTheCommand) {
    Aircraft a;  // no terrain: the gap is 0
    a.thrustCommand = 9 * 125.0f;
    int steps = 0;
    while (a.thrust < a.thrustCommand && steps < 1000) {
        ComputeForces(a);
        ++steps;
    }
    EXPECT_EQ(steps, 82);  // 81 ramps of 13.88888 fall a hair short of 1125
    // Not clamped: it steps past the command and then alternates around it.
    float over = a.thrust;
    ComputeForces(a);
    EXPECT_LT(a.thrust, 1125.0f);
    ComputeForces(a);
    EXPECT_FLOAT_EQ(a.thrust, over);
}

TEST(EngineRamp, ThrottleCutFromSmallThrustDipsBelowZeroThenResets) {
    Aircraft a;
    a.thrust = 10.0f;
    a.thrustCommand = 0.0f;
    ComputeForces(a);
    EXPECT_NEAR(a.thrust, -3.88888f, 1e-4f);
    EXPECT_FLOAT_EQ(a.thrustForce, 20.0f);  // the force is taken before the ramp
    ComputeForces(a);
    EXPECT_EQ(a.thrust, 0.0f);
    EXPECT_EQ(a.thrustRate, 0.0f);
    EXPECT_EQ(a.thrustForce, 0.0f);
}

TEST(EngineRamp, DestroyedEngineGivesNoThrustForce) {
    Aircraft a;
    a.thrust = 500.0f;
    a.thrustCommand = 500.0f;
    a.destroyed = true;
    ComputeForces(a);
    EXPECT_EQ(a.thrustForce, 0.0f);
    EXPECT_FLOAT_EQ(a.netForce.y, -400.0f);  // weight 50 * -8
}

TEST_F(TerrainFixture, GapOverAFlatCellAndOutsideTheGrid) {
    Use(Flat100);
    EXPECT_FLOAT_EQ(TerrainGap(a, 1234.0f, 0.0f, -5678.0f), 100.0f);
    EXPECT_FLOAT_EQ(TerrainGap(a, 1234.0f, 130.0f, -5678.0f), -30.0f);
    // On a cell's diagonal edge the point is in neither face: the second face's plane.
    EXPECT_FLOAT_EQ(TerrainGap(a, 500.0f, 0.0f, 500.0f), 100.0f);
    // Before the first cell (x or z below -25000 on the first row) and after the last.
    EXPECT_EQ(TerrainGap(a, -25001.0f, 0.0f, -24500.0f), 0.0f);
    EXPECT_EQ(TerrainGap(a, -24500.0f, 0.0f, -25001.0f), 0.0f);
    EXPECT_EQ(TerrainGap(a, 0.0f, 0.0f, 25001.0f), 0.0f);
    EXPECT_EQ(TerrainGap(a, 1e30f, 0.0f, 0.0f), 0.0f);
    EXPECT_EQ(TerrainGap(a, NAN, 0.0f, 0.0f), 0.0f);
    Aircraft noTerrain;
    EXPECT_EQ(TerrainGap(noTerrain, 0.0f, 0.0f, 0.0f), 0.0f);
}

TEST_F(TerrainFixture, SlopedCellInterpolatesAndAColumnPastTheEdgeReadsTheNextRow) {
    Use(FirstRowLow);
    // First row slopes from 100 at z = -25000 to 300 at z = -24000.
    EXPECT_NEAR(TerrainGap(a, 0.0f, 0.0f, -24900.0f), 120.0f, 1e-3f);
    EXPECT_NEAR(TerrainGap(a, 300.0f, 0.0f, -24250.0f), 250.0f, 1e-3f);
    // Column 50 of row 0 is cell 0 of row 1, which is flat at 300.
    EXPECT_NEAR(TerrainGap(a, 25500.0f, 0.0f, -24900.0f), 300.0f, 1e-3f);
}

TEST_F(TerrainFixture, ATruncatedTerrainIsReadOnlyWithinItsFaces) {
    Use(Flat100);
    terrain.faceCount -= 1;  // the last cell has only its first face
    EXPECT_FLOAT_EQ(TerrainGap(a, 24500.0f, 0.0f, 24400.0f), 100.0f);
    terrain.faces[0].b = 1000000;  // a face naming a vertex that does not exist
    terrain.faces[1].b = 1000000;
    EXPECT_EQ(TerrainGap(a, -24500.0f, 0.0f, -24500.0f), 0.0f);
}

TEST_F(TerrainFixture, WheelsExactlyOnTheSurfaceAreNotAContact) {
    Use(Flat0);
    a.position = {0.0f, 1.1f, 0.0f};  // wheels at 0, the tail skid above
    SetTranslation(a.placement, a.position);
    a.timeStep = 0.0003f;
    a.velocity = {0.0f, -1.0f, 0.0f};
    a.netForce = {0.0f, 0.0f, 0.0f};
    GroundContact(a);
    EXPECT_EQ(a.position.y, 1.1f);
    EXPECT_FALSE(a.crashed);
    EXPECT_FLOAT_EQ(a.velocity.y, -(1.0f - 0.0003f * 32.0f));  // the air's damping
}

TEST_F(TerrainFixture, SinkingTailSkidIsLiftedByAThirdAndTheAircraftLevelled) {
    Use(Flat0);
    // Nose 0.3 rad up with the wheels on the ground: only the tail skid is below it.
    const float up = 0.3f;
    RotateLocal(a.placement, {-up, 0.0f, 0.0f});
    a.position = {0.0f, 1.1f * std::cos(up) - 2.1f * std::sin(up), 0.0f};
    SetTranslation(a.placement, a.position);
    Vec3 tail = TransformPoint(a.placement, a.contactPoints[0]);
    ASSERT_LT(tail.y, -0.3f);
    a.timeStep = 0.0003f;
    a.velocity = {0.0f, 0.0f, 1.0f};
    a.netForce = {0.0f, 0.0f, 0.0f};
    float y = a.position.y;
    GroundContact(a);
    EXPECT_NEAR(a.position.y - y, -tail.y / 3.0f, 1e-5f);
    // Sitting on its wheels and skid: forward along the ground, up straight up, and still
    // a right-handed frame (right = up x forward).
    EXPECT_NEAR(a.placement[9], 0.0f, 1e-6f);
    EXPECT_NEAR(a.placement[10], 1.0f, 1e-6f);
    EXPECT_NEAR(a.placement[5], 1.0f, 1e-6f);
    EXPECT_NEAR(a.placement[0], 1.0f, 1e-6f);
    EXPECT_EQ(a.placement[13], a.position.y);
    EXPECT_FALSE(a.crashed);
    EXPECT_FLOAT_EQ(a.velocity.z, 1.0f - 0.0003f * 128.0f);  // the ground's damping
}

TEST_F(TerrainFixture, RollingOnTheGroundForAMinuteNeverCrashes) {
    Use(Flat0);
    a.position = {0.0f, 0.5f, 0.0f};
    SetTranslation(a.placement, a.position);
    for (int i = 0; i < 2000 && !a.crashed; ++i) FlyAircraft(a, 0.03f, i % 300 < 150 ? 0.5f : 0.0f, 0.0f, 4.0f);
    EXPECT_FALSE(a.crashed);
    EXPECT_GT(a.placement[5], 0.99f);
    // Still a proper rotation: turning right keeps turning right.
    Vec3 right = MatrixColumn(a.placement, 0), upAxis = MatrixColumn(a.placement, 1);
    Vec3 forward = MatrixColumn(a.placement, 2);
    EXPECT_GT(Dot(Cross(upAxis, forward), right), 0.99f);
}

TEST_F(TerrainFixture, TouchingDownUpsideDownOrDestroyedCrashes) {
    Use(Flat0);
    Aircraft upright = a;
    RotateLocal(a.placement, {0.0f, 0.0f, 3.14159265f});  // rolled onto its back
    a.position = {0.0f, -1.5f, 0.0f};
    SetTranslation(a.placement, a.position);
    a.timeStep = 0.0003f;
    GroundContact(a);
    EXPECT_TRUE(a.crashed);

    upright.position = {0.0f, 0.5f, 0.0f};
    SetTranslation(upright.placement, upright.position);
    upright.destroyed = true;
    GroundContact(upright);
    EXPECT_TRUE(upright.crashed);
}

TEST(Aerodynamics, LiftCoefficientRisesHoldsAndStalls) {
    Aircraft a;
    a.velocity = {0.0f, 0.0f, 1.0f};  // only tested for zero
    a.speed = 10.0f;
    a.wing.normal = {0.0f, 1.0f, 0.0f};
    auto liftAt = [&](float angle) {
        // Air from below the wing at the given angle.
        a.airflow = {0.0f, std::sin(angle), -std::cos(angle)};
        return WingLift(a, 1.0f);
    };
    const float k = 36.0f;  // the wing's 6 x 6
    EXPECT_NEAR(liftAt(0.1f), 100.0f * (0.1f * 1.2f * 4.0925555f) * k * std::sin(0.1f) * 0.5f, 0.05f);
    EXPECT_NEAR(std::fabs(a.attackAngle), 0.1f, 1e-5f);
    EXPECT_NEAR(liftAt(0.25f), 100.0f * 1.2f * k * std::sin(0.25f) * 0.5f, 0.05f);
    EXPECT_EQ(liftAt(0.5f), 0.0f);  // stalled
    EXPECT_EQ(liftAt(0.01f), 0.0f); // nearly edge-on: inside the dead zone
    a.velocity = {0.0f, 0.0f, 0.0f};
    EXPECT_EQ(WingLift(a, 1.0f), 0.0f);
}

TEST(Aerodynamics, NoseDropsOnlyAtSixteenPointSevenOrSlower) {
    Aircraft a;
    a.velocity = {0.0f, -1.0f, 1.0f};
    a.bodyPlate.normal = {0.0f, 1.0f, 0.0f};
    a.airflow = {0.0f, std::sin(0.3f), -std::cos(0.3f)};
    a.timeStep = 0.0003f;
    a.speed = 16.7f;
    float drop = NoseDrop(a, 1.0f);
    float m = 16.7f * 16.7f * std::sin(0.3f) * 0.5f / (50.0f / 9.81f) * 0.0003f;
    EXPECT_NEAR(drop, std::atan(0.2f * m), 1e-7f);
    EXPECT_GT(drop, 0.0f);  // nose down
    EXPECT_NEAR(a.slipAngleDeg, -0.3f * 180.0f / 3.14159265f, 1e-3f);
    a.speed = 16.71f;
    EXPECT_EQ(NoseDrop(a, 1.0f), 0.0f);
}

TEST_F(TerrainFixture, FullThrottleOnTheFlatBaseNeverLeavesTheGround) {
    // The ground's damping (1 - 128 timeStep) holds the run at about 3.5 units per step,
    // where the wing gives about 11 against a weight of 400: the flat base is no runway.
    Use(BaseWithRidge);
    PlaceAtStart(a);
    float highest = a.position.y;
    for (int i = 0; i < 600; ++i) {  // 18 s, still short of the ridge
        FlyAircraft(a, 0.03f, 0.0f, HoldClimbAngle(a, 0.3f), 9.0f);
        highest = std::fmax(highest, a.position.y);
    }
    EXPECT_LT(highest, 631.0f);
    EXPECT_NEAR(a.speed, 3.51f, 0.01f);
    EXPECT_LT(a.liftForce, 20.0f);
    EXPECT_FALSE(a.crashed);
}

TEST_F(TerrainFixture, TakeOffOverTheRidgeClimbsAboveSevenHundredWithinAMinute) {
    Use(BaseWithRidge);
    PlaceAtStart(a);
    int aboveAt = -1;
    for (int i = 0; i < 2000 && !a.crashed; ++i) {  // 60 s of 0.03 s steps
        FlyAircraft(a, 0.03f, 0.0f, HoldClimbAngle(a, 0.3f), 9.0f);
        float clearance = -TerrainGap(a, a.position.x, a.position.y, a.position.z);
        if (aboveAt < 0 && a.position.y > 700.0f && clearance > 50.0f) aboveAt = i;
    }
    EXPECT_FALSE(a.crashed);
    ASSERT_GT(aboveAt, 0);
    EXPECT_GT(a.position.y, 1000.0f);  // and it keeps climbing
}
