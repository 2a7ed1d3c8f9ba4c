#include <gtest/gtest.h>

#include "core/game_app.h"
#include "math/random.h"
#include "sim/aircraft.h"

namespace {

// A burst stepped at 0.03 s frames (timeStep 0.0003): which steps spawned a shot, and the
// first step at which the gun was free again.
struct BurstLog {
    int spawnSteps[MaxShots + 1];
    int spawns = 0;
    int freeAt = -1;
};

BurstLog RunBurst(Aircraft& a, int maxSteps) {
    BurstLog log;
    for (int step = 1; step <= maxSteps && a.firing; ++step) {
        int before = a.shotCount;
        UpdateShots(a);
        if (a.shotCount != before && log.spawns <= MaxShots) log.spawnSteps[log.spawns++] = step;
        if (!a.firing) log.freeAt = step;
    }
    return log;
}

}  // namespace

TEST(AircraftReset, ClearsFlightAndDamageButKeepsEngine) {
    Aircraft a;
    a.position = {1, 2, 3};
    a.velocity = {4, 5, 6};
    SetTranslation(a.placement, a.position);
    a.placement[0] = -1;
    a.firing = a.destroyed = a.crashed = true;
    a.shotCount = 4;
    a.smokeCount = 7;
    a.thrust = 500;
    a.thrustCommand = 1125;
    ResetAircraft(a);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(a.placement[i], Identity4[i]);
    EXPECT_EQ(a.velocity.x, 0);
    EXPECT_EQ(a.position.z, 0);
    EXPECT_FALSE(a.firing || a.destroyed || a.crashed);
    EXPECT_EQ(a.shotCount, 0);
    EXPECT_EQ(a.smokeCount, 0);
    EXPECT_EQ(a.thrust, 500);
    EXPECT_EQ(a.thrustCommand, 1125);
    EXPECT_NE(a.terrain, nullptr);
}

TEST(GunBurst, SixShotsEveryFourStepsThenAPauseAtThirtyMillisecondFrames) {
    Aircraft a;
    a.timeStep = 0.03f * 0.01f;
    a.velocity = {0, 0, 1};
    ASSERT_TRUE(StartBurst(a));
    BurstLog log = RunBurst(a, 200);
    ASSERT_EQ(log.spawns, MaxShots);
    // The 0.001 interval is crossed when the timer falls below zero: four steps of 0.0003.
    const int expected[MaxShots] = {1, 5, 9, 13, 17, 21};
    for (int i = 0; i < MaxShots; ++i) EXPECT_EQ(log.spawnSteps[i], expected[i]) << "shot " << i;
    // Five intervals after the sixth shot (0.005 / 0.0003 = 16.7 steps) the gun is free.
    EXPECT_EQ(log.freeAt, 21 + 17);
    EXPECT_EQ(a.shotCount, MaxShots);
}

TEST(GunBurst, ShotsStartAheadOfTheNoseAndFlyWithTheAircraft) {
    Aircraft a;
    a.timeStep = 0.0003f;
    a.position = {100, 200, 300};
    a.velocity = {1, 0, 0};
    SetTranslation(a.placement, a.position);
    StartBurst(a);
    UpdateShots(a);
    ASSERT_EQ(a.shotCount, 1);
    // 0.6 up and 10 forward of the aircraft; speed = the aircraft's + 10 along the nose.
    EXPECT_FLOAT_EQ(a.shotPositions[0].y, 200.6f);
    EXPECT_FLOAT_EQ(a.shotPositions[0].z, 310.0f);
    EXPECT_FLOAT_EQ(a.shotVelocity[0].x, 1.0f);
    EXPECT_FLOAT_EQ(a.shotVelocity[0].z, 10.0f);
    EXPECT_EQ(a.shotMatrices[0][12], 0.0f);  // orientation only
    UpdateShots(a);
    EXPECT_FLOAT_EQ(a.shotPositions[0].z, 320.0f);
    EXPECT_FLOAT_EQ(a.shotPositions[0].x, 101.0f);
}

TEST(GunBurst, StartBurstDuringABurstChangesNothing) {
    Aircraft a;
    a.timeStep = 0.0003f;
    StartBurst(a);
    for (int i = 0; i < 6; ++i) UpdateShots(a);
    int count = a.shotCount;
    float timer = a.shotTimer;
    EXPECT_FALSE(StartBurst(a));
    EXPECT_EQ(a.shotCount, count);
    EXPECT_EQ(a.shotTimer, timer);
}

TEST(ShotsHit, NeedsAShotStrictlyInsideTheSphere) {
    Aircraft a;
    a.firing = true;
    a.shotCount = 0;
    a.shotPositions[0] = {20, 10, 0};
    EXPECT_FALSE(ShotsHit(a, {0, 0, 0}));  // firing, but no shot yet
    a.shotCount = 1;
    EXPECT_FALSE(ShotsHit(a, {0, 0, 0}));  // squared distance exactly 500
    EXPECT_TRUE(ShotsHit(a, {0, 0.01f, 0}));
    a.firing = false;
    EXPECT_FALSE(ShotsHit(a, {0, 0.01f, 0}));  // the burst is over: its shots are gone
}

TEST(ShotsHit, OnlyTheShotsOfTheCurrentBurstCount) {
    Aircraft a;
    a.firing = true;
    a.shotCount = 2;
    a.shotPositions[0] = {1000, 0, 0};
    a.shotPositions[1] = {1000, 0, 0};
    a.shotPositions[2] = {0, 0, 0};  // left over from an earlier burst
    EXPECT_FALSE(ShotsHit(a, {0, 0, 0}));
    a.shotCount = 3;
    EXPECT_TRUE(ShotsHit(a, {0, 0, 0}));
}

TEST(SmokeTrail, TenPuffsThenAPauseOfTwentyIntervalsThenTheTrailEnds) {
    SeedRand(7);
    Aircraft a;
    a.timeStep = 0.0003f;
    a.position = {5, 6, 7};
    a.velocity = {0, -1, 0};
    ASSERT_TRUE(Destroy(a));
    EXPECT_FALSE(Destroy(a));  // already smoking: the trail does not restart
    int tenthPuffStep = -1;
    float pause = 0;
    int endStep = -1;
    for (int step = 1; step <= 5000; ++step) {
        int before = a.smokeCount;
        UpdateSmoke(a);
        if (before == 0) {
            EXPECT_EQ(a.smokeCount, 1);  // the first puff comes at once
            EXPECT_FLOAT_EQ(a.smokePositions[0].x, 5.0f);
            // Each puff waits 0.25 s to 0.5 s of frame time for the next.
            EXPECT_GE(a.smokeTimer, 0.0025f);
            EXPECT_LE(a.smokeTimer, 0.005f);
        }
        if (before == 9 && a.smokeCount == 10) {
            tenthPuffStep = step;
            pause = a.smokeTimer;
        }
        if (!a.destroyed) {
            endStep = step;
            break;
        }
    }
    ASSERT_GT(tenthPuffStep, 0);
    EXPECT_GE(pause, 20 * 0.0025f);
    EXPECT_LE(pause, 20 * 0.005f);
    ASSERT_GT(endStep, 0);
    float stepsOfPause = pause / 0.0003f;
    EXPECT_GE(endStep - tenthPuffStep, static_cast<int>(stepsOfPause));
    EXPECT_LE(endStep - tenthPuffStep, static_cast<int>(stepsOfPause) + 1);
    EXPECT_EQ(a.smokeCount, 11);
    // Puffs grow and drift with the speed they were given, slowing down.
    EXPECT_GT(a.smokeScale[0], 1.0f);
    EXPECT_LT(a.smokePositions[0].y, 6.0f);
    EXPECT_GT(a.smokeVelocity[0].y, -1.0f);
    for (int i = 0; i < MaxSmokePuffs; ++i) {
        EXPECT_LE(std::abs(a.smokeAxis[i].x), 1.0f);
        EXPECT_LE(std::abs(a.smokeAxis[i].z), 1.0f);
    }
    // A new trail can start once the old one has ended.
    EXPECT_TRUE(Destroy(a));
    EXPECT_EQ(a.smokeCount, 0);
}

TEST(GunOnly, ParkedGunFiresFromItsPlacementAndIdleGunDoesNothing) {
    FrameDt = 0.03f;
    Aircraft a;
    a.timeStep = 0.5f;
    Mat4 parked = Identity4;
    SetTranslation(parked, {10, 20, 30});
    a.placement = parked;
    UpdateGunOnly(a);  // neither firing nor destroyed
    EXPECT_EQ(a.timeStep, 0.5f);
    EXPECT_EQ(a.position.x, 0.0f);
    StartBurst(a);
    UpdateGunOnly(a);
    EXPECT_FLOAT_EQ(a.timeStep, 0.0003f);  // FrameDt (0.03 here) * 0.01
    EXPECT_EQ(a.position.y, 20.0f);
    EXPECT_EQ(a.shotCount, 1);
    EXPECT_FLOAT_EQ(a.shotPositions[0].z, 40.0f);
    FrameDt = 0;
}
