#include <gtest/gtest.h>

#include "core/controls.h"
#include "core/game_app.h"
#include "sim/game_flow.h"
#include "sim/world.h"
#include "audio/sound_system.h"
#include "hud/text_overlay.h"
#include "sim/score.h"
#include "sim/aircraft.h"
#include "sim/simulation.h"
#include "support/sim_world.h"

namespace {

struct StepTest : testing::Test {
    void SetUp() override {
        SetUpSimWorld();
        StartNextMission();  // the zeppelin mission
        Flow.state = Playing;
    }
    void TearDown() override { TearDownSimWorld(); }

    uint8_t* keys = App.controls.keys;
    float EngineRate() { return Sound.voices[EngineVoice].baseRate.load(); }
    void Press(int key) {
        keys[key] = 1;
        StepSimulation();
    }
    // Puts the player (and its drawn matrix, the previous step's position) at p, at rest.
    void PlacePlayer(Vec3 p) {
        PlayerPlane.position = p;
        PlayerPlane.velocity = {0, 0, 0};
        SetTranslation(PlayerPlane.placement, p);
        BiplaneModel.model.matrix = PlayerPlane.placement;
    }
    Vec3 ZeppelinGun() { return MatrixTranslation(ZeppelinModel.matrix) + ZeppelinGunOffset; }
    void GoToMission(int index) {
        while (MissionIndex != index) StartNextMission();
        Flow.state = Playing;
    }
};

}  // namespace

TEST_F(StepTest, DigitEightSetsTheEngineRateFromItsPresetButAReachesItByTheFormula) {
    Press(vk::Digit0 + 8);
    EXPECT_EQ(Throttle, 8);
    EXPECT_FLOAT_EQ(EngineRate(), 1.825f);
    EXPECT_EQ(keys[vk::Digit0 + 8], 0);  // consumed

    Press(vk::Digit0);
    EXPECT_EQ(Throttle, 0);
    EXPECT_FLOAT_EQ(EngineRate(), 0.125f);
    for (int i = 0; i < 8; ++i) Press(vk::A);
    EXPECT_EQ(Throttle, 8);
    EXPECT_FLOAT_EQ(EngineRate(), 1.125f);
}

TEST_F(StepTest, OnePressMovesTheThrottleOneStep) {
    keys[vk::A] = 1;
    StepSimulation();
    StepSimulation();  // the key was consumed: no second step
    EXPECT_EQ(Throttle, 1);
    Press(vk::Z);
    Press(vk::Z);  // already 0: the key does nothing and stays down
    EXPECT_EQ(Throttle, 0);
    EXPECT_EQ(keys[vk::Z], 1);
    keys[vk::Z] = 0;
    Press(vk::Digit0 + 9);
    Press(vk::A);  // at 9 already
    EXPECT_EQ(Throttle, 9);
    EXPECT_EQ(keys[vk::A], 1);
    keys[vk::A] = 0;
    Press(vk::Digit0 + 9);  // the current setting: nothing changes and the key stays set
    EXPECT_EQ(keys[vk::Digit0 + 9], 1);
    EXPECT_FLOAT_EQ(EngineRate(), 2.0f);
    EXPECT_FLOAT_EQ(PlayerPlane.thrustCommand, 1125.0f);
}

TEST_F(StepTest, ViewKeysLaterKeyWinsAndArrowsNudgeTheAxes) {
    keys[vk::Home] = keys[vk::PageDown] = keys[vk::End] = 1;
    StepSimulation();
    EXPECT_EQ(CameraView, vk::End);
    keys[vk::End] = 0;
    StepSimulation();
    EXPECT_EQ(CameraView, vk::PageDown);

    keys[vk::Right] = keys[vk::Up] = 1;
    Axes.horizontal = 0.999f;
    Axes.vertical = 0.0f;
    StepSimulation();
    // Tested before the change, so the axis can pass 1 by one nudge (FrameDt * 0.1).
    EXPECT_FLOAT_EQ(Axes.horizontal, 0.999f + 0.003f);
    EXPECT_FLOAT_EQ(Axes.vertical, -0.003f);
    StepSimulation();
    EXPECT_FLOAT_EQ(Axes.horizontal, 1.002f);
}

TEST_F(StepTest, HoldingFireRearmsOnlyAfterEachBurstOfSix) {
    keys[vk::Space] = 1;
    int bursts = 0, shots = 0, previous = 0;
    bool wasFiring = false;
    for (int i = 0; i < 120; ++i) {
        StepSimulation();
        if (PlayerPlane.firing && !wasFiring) ++bursts;
        if (PlayerPlane.shotCount > previous) shots += PlayerPlane.shotCount - previous;
        EXPECT_LE(PlayerPlane.shotCount, 6);
        previous = PlayerPlane.firing ? PlayerPlane.shotCount : 0;
        wasFiring = PlayerPlane.firing;
    }
    // A burst keeps the gun busy for 37 steps at 0.03 s frames (see the gun tests) and the
    // next one is armed on the step after: bursts start at steps 1, 39, 77 and 115.
    EXPECT_EQ(bursts, 4);
    EXPECT_EQ(shots, 6 + 6 + 6 + 2);
    EXPECT_TRUE(VoiceActive(GunsVoice));
}

TEST_F(StepTest, DestroyedPlayerCannotFireSteerOrChangeViewOrThrottle) {
    Throttle = 5;
    Destroy(PlayerPlane);
    keys[vk::Space] = keys[vk::End] = keys[vk::Right] = keys[vk::A] = keys[vk::Digit0 + 2] = 1;
    Axes.horizontal = 0.25f;
    StepSimulation();
    EXPECT_FALSE(PlayerPlane.firing);
    EXPECT_EQ(CameraView, vk::Home);
    EXPECT_EQ(Axes.horizontal, 0.25f);
    EXPECT_EQ(Throttle, 5);
    EXPECT_EQ(keys[vk::A], 1);
    // It spins with the engine off and smokes.
    EXPECT_EQ(PlayerPlane.thrustCommand, 0.0f);
    EXPECT_EQ(PlayerPlane.yawStep, -0.05f);
    EXPECT_EQ(PlayerPlane.smokeCount, 1);
}

TEST_F(StepTest, WindFollowsTheSpeed) {
    PlacePlayer({0, 5000, 0});
    PlayerPlane.velocity = {2, 0, 0};  // 2 units per step at 0.03 s frames: 6
    StepSimulation();
    Voice& wind = Sound.voices[WindVoice];
    float s = Length(PlayerPlane.velocity) * 0.03f * 100.0f;
    EXPECT_NEAR(wind.baseRate.load(), s * 0.14285715f, 1e-3f);
    EXPECT_NEAR(wind.volume.load(), s * 0.1f, 1e-4f);
    PlacePlayer({0, 5000, 0});
    StepSimulation();
    EXPECT_FLOAT_EQ(wind.volume.load(), 0.1f);  // at least 1
}

TEST_F(StepTest, ZeppelinNeverFiresAtAPlayerMoreThanAFifthAboveItsGun) {
    Vec3 gun = ZeppelinGun();
    PlacePlayer(gun + Vec3{0, 0.3f, 100});
    StepSimulation();
    EXPECT_FALSE(EnemyPlane.firing);
    PlacePlayer(gun + Vec3{0, 0.1f, 100});
    StepSimulation();
    EXPECT_TRUE(EnemyPlane.firing);
}

TEST_F(StepTest, ZeppelinRangeIsFiveHundredAndTheTanksFourHundredAtAnyHeight) {
    Vec3 gun = ZeppelinGun();
    PlacePlayer(gun + Vec3{0, -10, 500.5f});
    StepSimulation();
    EXPECT_FALSE(EnemyPlane.firing);
    PlacePlayer(gun + Vec3{0, -10, 480});
    StepSimulation();
    EXPECT_TRUE(EnemyPlane.firing);

    GoToMission(1);
    EnemyPlane = Aircraft{};
    Vec3 tankGun = MatrixTranslation(TankModel.matrix) + TankGunOffset;
    PlacePlayer(tankGun + Vec3{0, 300, 300});  // 424 away
    StepSimulation();
    EXPECT_FALSE(EnemyPlane.firing);
    PlacePlayer(tankGun + Vec3{0, 350, 100});  // 364 away, far above
    StepSimulation();
    EXPECT_TRUE(EnemyPlane.firing);
}

TEST_F(StepTest, ZeppelinGunShootsDownAHoveringPlayerAhead) {
    Vec3 gun = ZeppelinGun();
    Vec3 spot = gun + Vec3{0, 0, 120};
    AddScore(3);
    for (int i = 0; i < 200 && !PlayerPlane.destroyed; ++i) {
        PlacePlayer(spot);
        StepSimulation();
    }
    EXPECT_TRUE(PlayerPlane.destroyed);
    EXPECT_EQ(Score, 2);
    EXPECT_TRUE(VoiceActive(EnemyGunsVoice));
    // The gun was turned toward the player.
    EXPECT_GT(EnemyPlane.placement[10], 0.99f);
    EXPECT_EQ(EnemyPlane.placement[14], gun.z);
}

TEST_F(StepTest, RammingCostsThePlayerButSparesTheTarget) {
    PlacePlayer(MatrixTranslation(ZeppelinModel.matrix) + Vec3{0, 0, 30});
    StepSimulation();
    EXPECT_TRUE(PlayerPlane.destroyed);
    EXPECT_EQ(Score, -1);
    EXPECT_EQ(ZeppelinModel.visible, 1u);
    EXPECT_TRUE(VoiceActive(CrashVoice));
    EXPECT_FLOAT_EQ(Sound.voices[EngineVoice].baseRate.load(), 0.125f);
}

TEST_F(StepTest, ShootingTheZeppelinScoresFiveOnce) {
    PlacePlayer({0, 5000, 0});
    PlayerPlane.firing = true;
    PlayerPlane.shotTimer = 1.0f;  // no new shot this step
    PlayerPlane.shotCount = 1;
    PlayerPlane.shotPositions[0] = MatrixTranslation(ZeppelinModel.matrix) + Vec3{0, 20, 0};
    PlayerPlane.shotVelocity[0] = {0, 0, 0};
    StepSimulation();
    EXPECT_EQ(ZeppelinModel.visible, 2u);
    EXPECT_EQ(Score, 5);
    StepSimulation();
    EXPECT_EQ(Score, 5);
    // A destroyed zeppelin no longer shoots.
    PlacePlayer(ZeppelinGun() + Vec3{0, 0, 100});
    StepSimulation();
    EXPECT_FALSE(EnemyPlane.firing);
}

TEST_F(StepTest, TriplaneKillScoresOneThenFiveOnTheGroundAndComesBackHigh) {
    GoToMission(2);
    ASSERT_TRUE(TriplaneMission());
    PlacePlayer({0, 3000, 0});
    PlayerPlane.firing = true;
    PlayerPlane.shotTimer = 1.0f;
    PlayerPlane.shotCount = 1;
    PlayerPlane.shotPositions[0] = EnemyPlane.position;  // it has not moved yet
    PlayerPlane.shotVelocity[0] = {0, 0, 0};
    StepSimulation();
    EXPECT_TRUE(EnemyPlane.destroyed);
    EXPECT_EQ(Score, 1);
    StepSimulation();
    EXPECT_EQ(Score, 1);  // a destroyed triplane scores no more hits

    EnemyPlane.crashed = true;
    StepSimulation();
    EXPECT_EQ(Score, 6);
    EXPECT_FALSE(EnemyPlane.crashed);
    EXPECT_TRUE(EnemyPlane.destroyed);  // still smoking: it flies on once the trail ends
    EXPECT_EQ(EnemyPlane.position.x, 6000.0f);
    EXPECT_EQ(EnemyPlane.position.y, 4300.0f);
    EXPECT_EQ(EnemyPlane.position.z, 6500.0f);
    EXPECT_EQ(EnemyPlane.placement[13], 4300.0f);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(TriplaneModel.matrix[i], EnemyPlane.placement[i]);
}

TEST_F(StepTest, PlayerCrashEndsTheGameWithScoreZeroOnTheHud) {
    AddScore(4);
    PlayerPlane.crashed = true;
    StepSimulation();
    EXPECT_EQ(Flow.state, Dead);
    EXPECT_EQ(Score, 0);
    EXPECT_STREQ(ScoreOverlay.text, "GAME OVER");
}

TEST(ModelCollides, BoxesAlongTheLineBetweenCentresDecide) {
    Model plane, target;
    plane.visible = target.visible = 1;
    plane.boundsMin = {-4.5f, -1.5f, -3.5f};
    plane.boundsMax = {4.5f, 1.5f, 3.5f};
    plane.radiusSquared = 34.75f;
    target.boundsMin = {-15, -15, -60};
    target.boundsMax = {15, 15, 60};
    target.radiusSquared = 4050;
    Model saved = BiplaneModel.model;
    BiplaneModel.model = plane;
    auto at = [&](Vec3 p) {
        SetTranslation(BiplaneModel.model.matrix, p);
        return ModelCollides(target);
    };
    EXPECT_TRUE(at({0, 14, 0}));   // 14 < 15 + 1.5
    EXPECT_FALSE(at({0, 40, 0}));  // inside the spheres, clear of the boxes
    EXPECT_TRUE(at({0, 0, 60}));   // along the long axis: 60 < sqrt(60^2 + 3.5^2)
    EXPECT_FALSE(at({0, 0, 62}));
    EXPECT_FALSE(at({0, 0, 70}));  // beyond the sum of the squared radii
    target.visible = 0;
    EXPECT_FALSE(at({0, 0, 0}));
    target.visible = 2;  // a destroyed target can still be rammed
    EXPECT_TRUE(at({0, 0, 1}));
    BiplaneModel.model.visible = 0;
    EXPECT_FALSE(ModelCollides(target));
    BiplaneModel.model = saved;
}
