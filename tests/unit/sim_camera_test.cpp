#include <gtest/gtest.h>

#include "core/game_app.h"
#include "sim/world.h"
#include "math/view.h"
#include "sim/aircraft.h"
#include "sim/camera.h"
#include "sim/simulation.h"
#include "support/sim_world.h"

namespace {

struct CameraTest : testing::Test {
    void SetUp() override {
        SetUpSimWorld();
        TriplaneModel.visible = 0;
        // The player flies level toward +x at (100, 700, 200).
        PlayerPlane.placement = Identity4;
        RotateLocal(PlayerPlane.placement, {0, 1.5707964f, 0});
        Place({100, 700, 200});
    }
    void TearDown() override { TearDownSimWorld(); }

    void Place(Vec3 p) {
        PlayerPlane.position = p;
        SetTranslation(PlayerPlane.placement, p);
    }
    // Where a world point appears in the camera's space (the camera looks along -z).
    Vec3 Seen(Vec3 world) { return TransformPoint(App.camera, world); }
};

void ExpectNear(Vec3 a, Vec3 b, float tolerance = 1e-3f) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

bool SameMatrix(const Mat4& a, const Mat4& b) {
    for (int i = 0; i < 16; ++i)
        if (a[i] != b[i]) return false;
    return true;
}

}  // namespace

TEST_F(CameraTest, PilotViewSitsAtTheEyeAndLooksAlongTheNose) {
    CameraView = PilotView;
    UpdateCamera();
    Vec3 eye = TransformPoint(PlayerPlane.placement, PilotEyeOffset);
    ExpectNear(Seen(eye), {0, 0, 0});
    ExpectNear(Seen(eye + Vec3{1, 0, 0}), {0, 0, -1});  // the nose points along +x
    ExpectNear(Seen(eye + Vec3{0, 1, 0}), {0, 1, 0});
    EXPECT_TRUE(SameMatrix(Camera.viewRing[0], App.camera));
    EXPECT_EQ(Camera.ringIndex, 1);
    EXPECT_TRUE(SameMatrix(LookAtMatrix, App.camera));
}

TEST_F(CameraTest, DelayedViewLagsThreeFramesAndSwitchingToItDoesNotJump) {
    // The aircraft moves 10 units along +x each frame; the eye of frame i is at eyes[i].
    Vec3 eyes[10];
    for (int i = 0; i < 10; ++i) {
        CameraView = i < 5 ? PilotView : DelayedPilotView;
        Place({100.0f + 10.0f * i, 700, 200});
        eyes[i] = TransformPoint(PlayerPlane.placement, PilotEyeOffset);
        UpdateCamera();
        // The pilot view shows this frame; the delayed view the frame three updates back,
        // which right after the switch is still a pilot view.
        Vec3 expectedEye = i < 5 ? eyes[i] : eyes[i - 3];
        ExpectNear(Seen(expectedEye), {0, 0, 0}, 1e-2f);
        ExpectNear(Seen(expectedEye + Vec3{1, 0, 0}), {0, 0, -1}, 1e-2f);
    }
}

TEST_F(CameraTest, TargetViewFollowsTheZeppelinAfterItWasDestroyed) {
    ZeppelinModel.visible = 2;
    SetTranslation(ZeppelinModel.matrix, {5000, 6000, 7000});
    Camera.targetViewOffset = {0, -20, 0};
    CameraView = TargetView;
    UpdateCamera();
    ExpectNear(Seen({5000, 5980, 7000}), {0, 0, 0}, 1e-2f);
    ExpectNear(Seen({5000, 5980, 7001}), {0, 0, -1}, 1e-2f);  // along the zeppelin's nose
    ZeppelinModel.visible = 0;
    SetTranslation(TankModel.matrix, {-300, 640, 900});
    UpdateCamera();
    ExpectNear(Seen({-300, 620, 900}), {0, 0, 0}, 1e-2f);
    TriplaneModel.visible = 1;
    SetTranslation(EnemyPlane.placement, {1, 2, 3});
    UpdateCamera();
    ExpectNear(Seen({1, -18, 3}), {0, 0, 0}, 1e-3f);
}

TEST_F(CameraTest, RearViewLooksBackOverTheTail) {
    CameraView = RearView;
    UpdateCamera();
    Vec3 eye = TransformPoint(PlayerPlane.placement, {0, 1, -1});
    ExpectNear(Seen(eye), {0, 0, 0});
    ExpectNear(Seen(eye + Vec3{-1, 0, 0}), {0, 0, -1});  // behind the aircraft
}

TEST_F(CameraTest, DeathViewLooksDownFromTenUnitsAlongEachAxisAndStoresNothing) {
    CameraView = PilotView;
    UpdateCamera();
    Mat4 stored = Camera.viewRing[0];
    CameraView = DeathView;
    UpdateCamera();
    Vec3 p = PlayerPlane.position;
    ExpectNear(Seen(p + Vec3{10, 10, 10}), {0, 0, 0}, 1e-2f);
    Vec3 aircraft = Seen(p);
    EXPECT_NEAR(aircraft.x, 0.0f, 1e-2f);
    EXPECT_NEAR(aircraft.y, 0.0f, 1e-2f);
    EXPECT_LT(aircraft.z, -17.0f);  // straight ahead, about 17.3 away
    EXPECT_TRUE(SameMatrix(Camera.viewRing[0], stored));
    EXPECT_FALSE(SameMatrix(Camera.viewRing[1], App.camera));
}

TEST_F(CameraTest, UnknownViewKeepsTheLastOne) {
    CameraView = PilotView;
    UpdateCamera();
    Mat4 last = App.camera;
    CameraView = static_cast<CameraViewKey>(99);
    Place({5000, 5000, 5000});
    UpdateCamera();
    EXPECT_TRUE(SameMatrix(App.camera, last));
    EXPECT_EQ(Camera.ringIndex, 2);
}
