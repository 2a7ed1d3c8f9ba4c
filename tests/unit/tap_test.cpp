#include <gtest/gtest.h>

#include "app/frame_clock.h"
#include "app/input.h"
#include "core/controls.h"
#include "core/game_app.h"
#include "core/services.h"
#include "sim/game_flow.h"
#include "sim/aircraft.h"
#include "sim/simulation.h"
#include "support/sim_world.h"

namespace {

// A key pressed and released between two frames, as an on-screen keyboard or a remote
// desktop sends it.
void Tap(int key) {
    HandleInputMessage({InputEventType::KeyDown, key, 0, 0});
    HandleInputMessage({InputEventType::KeyUp, key, 0, 0});
}

struct TapTest : testing::Test {
    void SetUp() override {
        SetUpSimWorld();
        App.running = true;
    }
    void TearDown() override { TearDownSimWorld(); }
    void Frame() {
        TestNowMs += 30;
        FrameDt = 0.03f;
        UpdateGame();
    }
};

}  // namespace

TEST_F(TapTest, AnInstantTapActsOnTheNextFrame) {
    Frame();  // the first mission's briefing begins
    ASSERT_EQ(Flow.state, Briefing);
    Tap(vk::Space);
    Frame();
    EXPECT_EQ(Flow.state, Playing) << "a tapped Space ends the briefing";
    EXPECT_EQ(App.controls.keys[vk::Space], 0) << "and is released once the frame read it";

    Tap('9');
    Frame();
    EXPECT_EQ(Throttle, 9);
    Tap('3');
    Frame();
    EXPECT_EQ(Throttle, 3);

    Tap(vk::End);
    Frame();
    EXPECT_EQ(CameraView, vk::End);

    ASSERT_FALSE(PlayerPlane.firing);
    Tap(vk::Space);
    Frame();
    EXPECT_TRUE(PlayerPlane.firing) << "a tapped Space fires a burst";
    for (int i = 0; i < 1000 && PlayerPlane.firing; ++i) Frame();
    ASSERT_FALSE(PlayerPlane.firing);

    HandleInputMessage({InputEventType::ButtonDown, 0, 10, 10});
    HandleInputMessage({InputEventType::ButtonUp, 0, 10, 10});
    Frame();
    EXPECT_TRUE(PlayerPlane.firing) << "a click of the left button fires a burst";

    // P is read by the frame clock, which clears it when it toggles the pause.
    App.lastFrameTime = Seconds();
    Tap(vk::P);
    TestNowMs += 40;
    FrameClockStep();
    EXPECT_TRUE(App.paused);
}

TEST_F(TapTest, AHeldKeyIsReleasedAtOnceAndRepeatsAreNotLatched) {
    Frame();
    HandleInputMessage({InputEventType::KeyDown, vk::Left, 0, 0});
    Frame();
    HandleInputMessage({InputEventType::KeyDown, vk::Left, KeyRepeated, 0});
    HandleInputMessage({InputEventType::KeyUp, vk::Left, 0, 0});
    EXPECT_EQ(App.controls.keys[vk::Left], 0) << "a press a frame has read ends with its release";

    // Pressed again before the deferred release of a tap: the key stays down.
    Tap(vk::Right);
    HandleInputMessage({InputEventType::KeyDown, vk::Right, 0, 0});
    Frame();
    EXPECT_EQ(App.controls.keys[vk::Right], 1);
}
