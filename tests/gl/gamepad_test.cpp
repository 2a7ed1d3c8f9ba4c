// A pad plugged in during play, as SDL's virtual joystick, seen through the game's event
// pump and frame update: it flies, fires, steps the throttle, changes the view and pauses,
// and pulled out it hands the stick back to the mouse with nothing left pressed.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/frame_clock.h"
#include "app/input.h"
#include "core/game_app.h"
#include "core/joystick.h"
#include "core/services.h"
#include "platform/user_folders.h"
#include "sim/aircraft.h"
#include "sim/game_flow.h"
#include "sim/simulation.h"
#include "support/error_capture.h"
#include "support/sim_world.h"

namespace {

struct VirtualPad {
    SDL_Joystick* handle = nullptr;
    explicit VirtualPad(const SDL_VirtualJoystickDesc& desc) {
        int index = SDL_JoystickAttachVirtualEx(&desc);
        if (index >= 0) handle = SDL_JoystickOpen(index);
    }
    void Button(int n, bool down) { SDL_JoystickSetVirtualButton(handle, n, down ? SDL_PRESSED : SDL_RELEASED); }
    void Axis(int n, int value) { SDL_JoystickSetVirtualAxis(handle, n, static_cast<Sint16>(value)); }
    void Unplug() {
        if (handle == nullptr) return;
        SDL_JoystickID id = SDL_JoystickInstanceID(handle);
        SDL_JoystickClose(handle);
        handle = nullptr;
        for (int i = 0; i < SDL_NumJoysticks(); ++i)
            if (SDL_JoystickGetDeviceInstanceID(i) == id) SDL_JoystickDetachVirtual(i);
    }
    ~VirtualPad() { Unplug(); }
};

struct PadFixture : ::testing::Test {
    ErrorCapture errors;
    uint8_t* keys = App.controls.keys;
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs an X display";
        SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();  // the event pump runs
        SetUpSimWorld();
        StartPads();  // as the game does before its launcher
        App.running = true;
        // Play has started, on the mouse.
        StartNextMission();
        Flow.state = Playing;
        App.controls.stickX = 0.25f;
        Frames(2);
    }
    void TearDown() override {
        TearDownSimWorld();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    // Drawn frames 33 ms apart as the loop runs them: the pump, the frame clock (which reads
    // the pause key), the update.
    void Frames(int count) {
        for (int f = 0; f < count; ++f) {
            for (int i = 0; i < 4; ++i) PumpMessages();
            TestNowMs += 33;
            FrameDt = FrameClockStep();
            if (FrameDt != 0.0f) UpdateGame();
        }
    }
};

}  // namespace

TEST_F(PadFixture, APadPluggedInDuringPlayFliesFiresThrottlesChangesTheViewAndUnplugs) {
    ASSERT_EQ(Axes.horizontal, 0.25f);
    SDL_VirtualJoystickDesc d{};
    d.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    d.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    d.naxes = SDL_CONTROLLER_AXIS_MAX;
    d.nbuttons = SDL_CONTROLLER_BUTTON_DPAD_RIGHT + 1;
    d.button_mask = (1u << d.nbuttons) - 1;
    d.axis_mask = (1u << SDL_CONTROLLER_AXIS_MAX) - 1;
    VirtualPad pad(d);
    ASSERT_NE(pad.handle, nullptr) << SDL_GetError();
    // The stick: inside the dead zone it rests; beyond it the rest spans the whole range.
    pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, 3000);
    pad.Axis(SDL_CONTROLLER_AXIS_LEFTY, static_cast<int>(-0.575f * 32768));
    Frames(1);
    ASSERT_TRUE(App.joystick.padInUse) << "the pad plugged in during play was not found";
    EXPECT_EQ(Axes.horizontal, 0.0f);
    EXPECT_NEAR(Axes.vertical, -0.5f, 1e-3f);
    // A fires; the trigger (released at SDL's -32768) fires past half way.
    pad.Button(SDL_CONTROLLER_BUTTON_A, true);
    Frames(1);
    EXPECT_EQ(keys[vk::Space], 1);
    EXPECT_TRUE(PlayerPlane.firing);
    pad.Button(SDL_CONTROLLER_BUTTON_A, false);
    pad.Axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -16000);  // a quarter pulled
    Frames(1);
    EXPECT_EQ(keys[vk::Space], 0);
    // The right shoulder: a step on the press, one more after 0.3 s held, not per frame.
    pad.Button(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, true);
    Frames(9);  // 0.264 s
    EXPECT_EQ(Throttle, 1);
    Frames(2);
    EXPECT_EQ(Throttle, 2);
    pad.Button(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, false);
    // X is the target view's key; Start pauses through the pump while no frame is drawn.
    pad.Button(SDL_CONTROLLER_BUTTON_X, true);
    Frames(1);
    EXPECT_EQ(CameraView, TargetView);
    pad.Button(SDL_CONTROLLER_BUTTON_START, true);
    Frames(2);
    EXPECT_TRUE(App.paused);
    pad.Button(SDL_CONTROLLER_BUTTON_START, false);
    Frames(1);
    pad.Button(SDL_CONTROLLER_BUTTON_START, true);
    Frames(2);
    EXPECT_FALSE(App.paused);
    // Pulled out holding fire, a nudge and a view: the mouse steers, nothing stays down.
    pad.Button(SDL_CONTROLLER_BUTTON_A, true);
    pad.Button(SDL_CONTROLLER_BUTTON_DPAD_UP, true);
    Frames(1);
    ASSERT_EQ(keys[vk::Space] + keys[vk::Up] + keys[vk::PageDown], 3);
    pad.Unplug();
    Frames(1);
    EXPECT_FALSE(App.joystick.padInUse);
    EXPECT_EQ(keys[vk::Space] + keys[vk::Up] + keys[vk::PageDown], 0);
    EXPECT_EQ(Axes.horizontal, 0.25f);
}

TEST_F(PadFixture, ThePlayersMappingFileLaysOutAPadSdlDoesNotKnow) {
    // A pad with a real pad's button numbers, whose name and ids SDL's database lacks.
    SDL_VirtualJoystickDesc d{};
    d.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    d.naxes = 4;
    d.nbuttons = 13;
    d.nhats = 1;
    d.vendor_id = 0x1234;
    d.product_id = 0x5678;
    d.name = "Afterglow PS3 Controller";
    char guid[64];
    {
        VirtualPad probe(d);
        ASSERT_NE(probe.handle, nullptr) << SDL_GetError();
        ASSERT_FALSE(SDL_IsGameController(0)) << "SDL already knows the test pad";
        SDL_JoystickGetGUIDString(SDL_JoystickGetGUID(probe.handle), guid, sizeof guid);
    }
    // That pad's mapping as SDL's documentation prints it (no closing comma), on this
    // device, below a line SDL cannot read.
    char folder[PathBufferSize];
    ASSERT_TRUE(PlatformUserConfigFolder(folder, sizeof folder, "kelvane") && PlatformMakeFolders(folder));
    std::string path = std::string(folder) + "/" + PadMappingFile;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fprintf(f, "# my pads\r\nnot a mapping\r\n%s,Afterglow PS3 Controller,a:b1,b:b2,y:b3,x:b0,start:b9,"
                    "guide:b12,back:b8,dpup:h0.1,dpleft:h0.8,dpdown:h0.4,dpright:h0.2,leftshoulder:b4,"
                    "rightshoulder:b5,leftstick:b10,rightstick:b11,leftx:a0,lefty:a1,rightx:a2,righty:a3,"
                    "lefttrigger:b6,righttrigger:b7\r\n",
                 guid);
    std::fclose(f);
    StartPads();  // reads the file again
    std::remove(path.c_str());
    ASSERT_EQ(errors.reports.size(), 1u);
    EXPECT_EQ(errors.reports[0].message, "Unable to use the pad mapping:");
    EXPECT_EQ(errors.reports[0].detail, path + ", line 2");

    VirtualPad pad(d);
    Frames(1);
    ASSERT_TRUE(App.joystick.padInUse) << "the mapping file's pad was not taken as a pad";
    SDL_JoystickSetVirtualHat(pad.handle, 0, SDL_HAT_UP);  // the d-pad: Up
    pad.Button(0, true);                                   // X: the target view
    pad.Button(7, true);                                   // the right trigger, a button here: fire
    pad.Button(5, true);                                   // the right shoulder: throttle up
    pad.Axis(0, -32768);
    Frames(1);
    EXPECT_EQ(keys[vk::Up], 1);
    EXPECT_EQ(CameraView, TargetView);
    EXPECT_EQ(keys[vk::Space], 1);
    EXPECT_EQ(Throttle, 1);
    EXPECT_EQ(Axes.horizontal, -1.0f);
}
