#include <gtest/gtest.h>

#include "app/input.h"
#include "core/controls.h"
#include "core/game_app.h"
#include "sim/game_flow.h"
#include "core/joystick.h"
#include "platform/joystick.h"
#include "sim/aircraft.h"
#include "sim/simulation.h"
#include "support/sim_world.h"

namespace {

struct JoystickTest : testing::Test {
    void SetUp() override { SetUpSimWorld(); }
    void TearDown() override {
        PlatformCloseJoystick();
        PlatformDetachVirtualJoystick();
        TearDownSimWorld();
    }
    uint8_t* keys = App.controls.keys;
};

constexpr uint32_t Bit(int n) { return 1u << n; }

}  // namespace

TEST_F(JoystickTest, NoDeviceMeansNoJoystick) {
    EXPECT_FALSE(InitJoystick());
    EXPECT_FALSE(App.joystick.present);
    EXPECT_FALSE(PollJoystick());
}

TEST_F(JoystickTest, ADeviceWithoutAYAxisIsAbsent) {
    ASSERT_TRUE(PlatformAttachVirtualJoystick(1, 8));
    EXPECT_FALSE(InitJoystick());
    EXPECT_FALSE(App.joystick.present);
}

TEST_F(JoystickTest, AxesSpanMinusOneToOneAndButtonsFollowTheirBits) {
    ASSERT_TRUE(PlatformAttachVirtualJoystick(2, 10));
    ASSERT_TRUE(InitJoystick());
    PlatformSetVirtualJoystick(32767, -32768, Bit(0) | Bit(4) | Bit(9));
    ASSERT_TRUE(PollJoystick());
    EXPECT_FLOAT_EQ(App.joystick.x, 1.0f);
    EXPECT_FLOAT_EQ(App.joystick.y, -1.0f);
    EXPECT_EQ(App.joystick.buttons, Bit(0) | Bit(4) | Bit(9));
    PlatformSetVirtualJoystick(0, 0, 0);
    ASSERT_TRUE(PollJoystick());
    EXPECT_NEAR(App.joystick.x, 0.0f, 1e-4f);
    EXPECT_EQ(App.joystick.buttons, 0u);
}

TEST_F(JoystickTest, ButtonsOverrideTheSevenKeysAndTheStickEveryFrame) {
    ASSERT_TRUE(PlatformAttachVirtualJoystick(2, 8));
    ASSERT_TRUE(InitJoystick());
    StartNextMission();
    Flow.state = Playing;
    // The keyboard holds Right, Up, Space, A and Z; the mouse is in a corner.
    keys[vk::Right] = keys[vk::Up] = keys[vk::Space] = keys[vk::A] = keys[vk::Z] = 1;
    keys[vk::Home] = 1;  // not one of the seven
    App.controls.stickX = App.controls.stickY = -1.0f;
    // Buttons 1 (Left) and 2 (Down) held, and button 7 (bit 6, ignored).
    PlatformSetVirtualJoystick(16384, 0, Bit(0) | Bit(1) | Bit(6));
    UpdateGame();
    EXPECT_EQ(keys[vk::Left], 1);
    EXPECT_EQ(keys[vk::Down], 1);
    EXPECT_EQ(keys[vk::Right], 0);
    EXPECT_EQ(keys[vk::Up], 0);
    EXPECT_EQ(keys[vk::Space], 0);
    EXPECT_EQ(keys[vk::Z], 0);
    EXPECT_EQ(keys[vk::Home], 1);
    EXPECT_EQ(Throttle, 0);
    EXPECT_FALSE(PlayerPlane.firing);
    // The joystick's stick replaced the mouse's, then the buttons nudged it.
    EXPECT_NEAR(Axes.horizontal, 0.5f - 0.003f, 1e-3f);
    EXPECT_NEAR(Axes.vertical, 0.0f + 0.003f, 1e-3f);
}

TEST_F(JoystickTest, HoldingTheThrottleButtonRaisesTheThrottleEveryFrame) {
    ASSERT_TRUE(PlatformAttachVirtualJoystick(2, 8));
    ASSERT_TRUE(InitJoystick());
    StartNextMission();
    Flow.state = Playing;
    PlatformSetVirtualJoystick(0, 0, Bit(5));
    for (int i = 0; i < 3; ++i) UpdateGame();
    EXPECT_EQ(Throttle, 3);
}

TEST_F(JoystickTest, UnpluggedJoystickHandsTheStickBackToTheMouse) {
    ASSERT_TRUE(PlatformAttachVirtualJoystick(2, 8));
    ASSERT_TRUE(InitJoystick());
    PlatformDetachVirtualJoystick();
    EXPECT_FALSE(PollJoystick());
    App.controls.stickX = 0.25f;
    Flow.state = Briefing;
    Flow.deadline = 1e9f;
    UpdateGame();
    EXPECT_EQ(Axes.horizontal, 0.25f);
}

TEST(MouseStick, CornerAndCentreOfTheWindow) {
    GameApp saved = App;
    App = GameApp{};
    App.running = true;
    HandleInputMessage({InputEventType::MouseMove, 0, 0, 0});
    EXPECT_EQ(App.controls.stickX, -1.0f);
    EXPECT_EQ(App.controls.stickY, -1.0f);
    HandleInputMessage({InputEventType::MouseMove, 0, App.settings.Width / 2, App.settings.Height / 2});
    EXPECT_EQ(App.controls.stickX, 0.0f);
    EXPECT_EQ(App.controls.stickY, 0.0f);
    HandleInputMessage({InputEventType::MouseMove, 0, App.settings.Width, App.settings.Height});
    EXPECT_EQ(App.controls.stickX, 1.0f);
    EXPECT_EQ(App.controls.stickY, 1.0f);
    HandleInputMessage({InputEventType::ButtonDown, 0, 0, 0});
    EXPECT_EQ(App.controls.keys[vk::Space], 1);
    KeysRead(App.controls);  // a frame saw the press: the release takes effect at once
    HandleInputMessage({InputEventType::ButtonUp, 0, 0, 0});
    EXPECT_EQ(App.controls.keys[vk::Space], 0);
    App = saved;
}
