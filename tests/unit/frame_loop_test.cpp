#include <gtest/gtest.h>

#include "app/input.h"
#include "core/controls.h"
#include "app/frame_clock.h"
#include "core/game_app.h"
#include "core/services.h"

namespace {

uint32_t nowMs = 0;
uint32_t TestClock() { return nowMs; }

struct FrameClockTest : testing::Test {
    void SetUp() override {
        SetClockSource(TestClock);
        nowMs = 100000;
        App = GameApp{};
        App.running = true;
        App.lastFrameTime = Seconds();
    }
    void TearDown() override {
        SetClockSource(nullptr);
        App = GameApp{};
    }
};

}  // namespace

TEST_F(FrameClockTest, TooEarlyGivesNoFrameAndKeepsTheStart) {
    nowMs += 10;
    EXPECT_EQ(FrameClockStep(), 0.0f);
    nowMs += 25;  // 35 ms after the last drawn frame
    float dt = FrameClockStep();
    EXPECT_NEAR(dt, 0.035f, 1e-3f);
}

TEST_F(FrameClockTest, ThirtyMillisecondsIsAFrame) {
    // 31 ms: the clock is a float count of seconds, so an exact 30 ms interval can come out
    // a hair below the 0.03 cap and wait one more millisecond.
    nowMs += 31;
    EXPECT_NEAR(FrameClockStep(), 0.031f, 1e-3f);
    EXPECT_EQ(FrameClockStep(), 0.0f);  // immediately after: too early again
}

TEST_F(FrameClockTest, NotRunningGivesNoFrame) {
    App.running = false;
    nowMs += 100;
    EXPECT_EQ(FrameClockStep(), 0.0f);
}

TEST_F(FrameClockTest, StallIsCappedSoThePhysicsStaysStable) {
    nowMs += 5000;
    EXPECT_EQ(FrameClockStep(), MaxFrameDt);
    EXPECT_NEAR(App.dt, 5.0f, 1e-3f);  // the measured interval is still kept
    nowMs += 200;
    EXPECT_NEAR(FrameClockStep(), 0.2f, 1e-3f);  // below the cap: the whole interval
}

TEST_F(FrameClockTest, PauseTogglesOncePerPressAndResumesWithoutALongFrame) {
    App.controls.keys[vk::P] = 1;
    nowMs += 40;
    EXPECT_EQ(FrameClockStep(), 0.0f);
    EXPECT_TRUE(App.paused);
    EXPECT_EQ(App.controls.keys[vk::P], 0);  // consumed
    for (int i = 0; i < 100; ++i) {  // three seconds of pause
        nowMs += 31;
        EXPECT_EQ(FrameClockStep(), 0.0f);
    }
    App.controls.keys[vk::P] = 1;
    nowMs += 31;
    // The frame that sees the press resumes at once with one interval, not the pause.
    EXPECT_NEAR(FrameClockStep(), 0.031f, 1e-3f);
    EXPECT_FALSE(App.paused);
}

TEST_F(FrameClockTest, TimeUntilNextFrame) {
    nowMs += 10;
    EXPECT_NEAR(TimeUntilNextFrame(), 0.02f, 1e-3f);
    nowMs += 50;
    EXPECT_EQ(TimeUntilNextFrame(), 0.0f);
}

TEST(Input, KeysMouseStickAndFireButton) {
    App = GameApp{};
    App.running = true;
    HandleInputMessage({InputEventType::KeyDown, vk::A, 0, 0});
    EXPECT_EQ(App.controls.keys[vk::A], 1);
    KeysRead(App.controls);  // a frame saw the press: the release takes effect at once
    HandleInputMessage({InputEventType::KeyUp, vk::A, 0, 0});
    EXPECT_EQ(App.controls.keys[vk::A], 0);
    HandleInputMessage({InputEventType::KeyDown, 300, 0, 0});  // out of the table: ignored

    App.settings.Width = 640;
    App.settings.Height = 480;
    HandleInputMessage({InputEventType::MouseMove, 0, 0, 0});
    EXPECT_FLOAT_EQ(App.controls.stickX, -1.0f);
    EXPECT_FLOAT_EQ(App.controls.stickY, -1.0f);
    HandleInputMessage({InputEventType::MouseMove, 0, 320, 240});
    EXPECT_FLOAT_EQ(App.controls.stickX, 0.0f);
    EXPECT_FLOAT_EQ(App.controls.stickY, 0.0f);

    HandleInputMessage({InputEventType::ButtonDown, 0, 1, 1});
    EXPECT_EQ(App.controls.keys[vk::Space], 1);
    KeysRead(App.controls);
    HandleInputMessage({InputEventType::ButtonUp, 0, 1, 1});
    EXPECT_EQ(App.controls.keys[vk::Space], 0);
    EXPECT_TRUE(App.running);
    App = GameApp{};
}

TEST(Input, QuitKeysAndWindowCloseEndTheLoop) {
    for (InputEvent e : {InputEvent{InputEventType::KeyDown, vk::Q, 0, 0},
                         InputEvent{InputEventType::KeyDown, vk::Escape, 0, 0},
                         InputEvent{InputEventType::CloseRequest, 0, 0, 0}}) {
        App = GameApp{};
        App.running = true;
        App.paused = true;  // quitting works while paused too
        HandleInputMessage(e);
        EXPECT_FALSE(App.running);
    }
    App = GameApp{};
}
