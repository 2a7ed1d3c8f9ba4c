// A pad plugged in while the game is being played, as SDL's virtual joystick: it is found
// through the event pump, flies, fires, steps the throttle, changes the view and pauses,
// and pulling it out hands the stick back to the mouse with nothing left pressed.
#include <gtest/gtest.h>

#include <SDL.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "app/assets.h"
#include "app/frame_clock.h"
#include "app/game_window.h"
#include "app/input.h"
#include "app/launcher.h"
#include "core/controls.h"
#include "core/game_app.h"
#include "core/joystick.h"
#include "core/services.h"
#include "platform/user_folders.h"
#include "sim/aircraft.h"
#include "sim/game_flow.h"
#include "sim/simulation.h"
#include "sim/world.h"
#include "support/error_capture.h"
#include "support/media.h"
#include "support/temp_dir.h"
#include "support/x_driver.h"

namespace {

uint32_t ClockMs = 0;
uint32_t TestClock() { return ClockMs; }

struct VirtualPad {
    SDL_JoystickID id = -1;
    SDL_Joystick* handle = nullptr;
    bool Attach(const SDL_VirtualJoystickDesc& desc) {
        int index = SDL_JoystickAttachVirtualEx(&desc);
        if (index < 0) return false;
        handle = SDL_JoystickOpen(index);
        id = SDL_JoystickInstanceID(handle);
        return handle != nullptr;
    }
    std::string Guid() const {
        char text[64];
        SDL_JoystickGetGUIDString(SDL_JoystickGetGUID(handle), text, sizeof text);
        return text;
    }
    void Button(int n, bool down) { SDL_JoystickSetVirtualButton(handle, n, down ? SDL_PRESSED : SDL_RELEASED); }
    void Axis(int n, int value) { SDL_JoystickSetVirtualAxis(handle, n, static_cast<Sint16>(value)); }
    void Hat(Uint8 value) { SDL_JoystickSetVirtualHat(handle, 0, value); }
    void Detach() {
        if (handle == nullptr) return;
        SDL_JoystickClose(handle);
        handle = nullptr;
        for (int i = 0; i < SDL_NumJoysticks(); ++i)
            if (SDL_JoystickGetDeviceInstanceID(i) == id) SDL_JoystickDetachVirtual(i);
    }
    ~VirtualPad() { Detach(); }
};

// A pad of the game-controller type: SDL lays it out from the masks.
SDL_VirtualJoystickDesc ControllerDesc() {
    SDL_VirtualJoystickDesc d{};
    d.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    d.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    d.naxes = SDL_CONTROLLER_AXIS_MAX;
    d.nbuttons = SDL_CONTROLLER_BUTTON_DPAD_RIGHT + 1;
    d.button_mask = (1u << (SDL_CONTROLLER_BUTTON_DPAD_RIGHT + 1)) - 1;
    d.axis_mask = (1u << SDL_CONTROLLER_AXIS_MAX) - 1;
    d.name = "Kelvane test pad";
    return d;
}

struct PadFixture : ::testing::Test {
    ErrorCapture errors;
    uint8_t* keys = App.controls.keys;
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs an X display";
        if (!UseGeneratedMedia() || !std::filesystem::exists(GeneratedMediaDir() + "/terrain.a3f"))
            GTEST_SKIP() << "no generated media";
        // The test display has no window manager to give the game window the focus.
        SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
        App = GameApp{};
        App.settings.Width = 320;
        App.settings.Height = 240;
        ClockMs = 100000;
        SetClockSource(TestClock);
        ASSERT_TRUE(CreateGLWindow());
        SetupGLState();
        ASSERT_TRUE(LoadAssets());
        StartPads();
        App.running = true;
        // Play has started, on the mouse: a stick a quarter to the right (after the pointer's
        // move to the window's middle has come through).
        StartNextMission();
        Flow.state = Playing;
        Frames(3);
        App.controls.stickX = 0.25f;
        App.controls.stickY = 0.0f;
        Frames(3);
        ASSERT_FALSE(App.joystick.padInUse);
        ASSERT_NEAR(Axes.horizontal, 0.25f, 1e-6f);
    }
    void TearDown() override {
        SetClockSource(nullptr);
        SetMediaFolderOverride(nullptr);
        DestroyGLWindow();
        App = GameApp{};
    }
    // Drawn frames as the loop runs them, 33 ms apart: the event pump, the frame clock (which
    // also reads the pause key), the game's update.
    void Frames(int count) {
        for (int f = 0; f < count; ++f) {
            for (int i = 0; i < 8; ++i) PumpMessages();
            ClockMs += 33;
            FrameDt = FrameClockStep();
            if (FrameDt != 0.0f) UpdateGame();
        }
    }
};

}  // namespace

TEST_F(PadFixture, APadPluggedInDuringPlayFliesFiresThrottlesAndChangesTheView) {
    VirtualPad pad;
    ASSERT_TRUE(pad.Attach(ControllerDesc())) << SDL_GetError();
    Frames(1);
    ASSERT_TRUE(App.joystick.padInUse) << "the pad plugged in during play was not found";

    // The stick: a small push is inside the dead zone; beyond it the rest spans 0..1.
    pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, 3000);
    pad.Axis(SDL_CONTROLLER_AXIS_LEFTY, -32768);
    Frames(1);
    EXPECT_EQ(Axes.horizontal, 0.0f) << "the mouse's or the pad's small push leaked through";
    EXPECT_NEAR(Axes.vertical, -1.0f, 1e-6f);
    pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, static_cast<int>(0.575f * 32767));
    pad.Axis(SDL_CONTROLLER_AXIS_LEFTY, 0);
    Frames(1);
    EXPECT_NEAR(Axes.horizontal, 0.5f, 1e-3f);

    // Fire on A: Space down, and the simulation arms a burst.
    pad.Button(SDL_CONTROLLER_BUTTON_A, true);
    Frames(1);
    EXPECT_EQ(keys[vk::Space], 1);
    EXPECT_TRUE(PlayerPlane.firing);
    pad.Button(SDL_CONTROLLER_BUTTON_A, false);
    Frames(1);
    EXPECT_EQ(keys[vk::Space], 0);
    // The right trigger fires past half way only. The virtual pad's trigger spans the whole
    // raw range, released at -32768.
    pad.Axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -16000);  // a quarter pulled
    Frames(1);
    EXPECT_EQ(keys[vk::Space], 0);
    pad.Axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 27000);
    Frames(1);
    EXPECT_EQ(keys[vk::Space], 1);
    pad.Axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -32768);

    // The d-pad nudges: Left held, as the keyboard's arrow would be.
    pad.Button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
    Frames(1);
    EXPECT_EQ(keys[vk::Left], 1);
    pad.Button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, false);

    // The throttle: one step on the press, one more each 0.3 s held (frames are 33 ms).
    ASSERT_EQ(Throttle, 0);
    pad.Button(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, true);
    Frames(1);
    EXPECT_EQ(Throttle, 1);
    Frames(8);  // 0.264 s
    EXPECT_EQ(Throttle, 1);
    Frames(2);  // past 0.3 s
    EXPECT_EQ(Throttle, 2);
    Frames(9);
    EXPECT_EQ(Throttle, 3);
    pad.Button(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, false);
    Frames(12);
    EXPECT_EQ(Throttle, 3);
    pad.Button(SDL_CONTROLLER_BUTTON_LEFTSHOULDER, true);
    Frames(1);
    pad.Button(SDL_CONTROLLER_BUTTON_LEFTSHOULDER, false);
    Frames(1);
    EXPECT_EQ(Throttle, 2);

    // A view: X is the target view's key, held while the button is.
    pad.Button(SDL_CONTROLLER_BUTTON_X, true);
    Frames(1);
    EXPECT_EQ(keys[vk::PageDown], 1);
    EXPECT_EQ(CameraView, TargetView);
    pad.Button(SDL_CONTROLLER_BUTTON_X, false);
    Frames(1);
    EXPECT_EQ(keys[vk::PageDown], 0);
    pad.Button(SDL_CONTROLLER_BUTTON_Y, true);
    Frames(1);
    pad.Button(SDL_CONTROLLER_BUTTON_Y, false);
    EXPECT_EQ(CameraView, PilotView);

    // Start pauses, and Start again resumes: the pause key goes through the event pump,
    // which runs while no frame is drawn.
    pad.Button(SDL_CONTROLLER_BUTTON_START, true);
    Frames(1);
    pad.Button(SDL_CONTROLLER_BUTTON_START, false);
    Frames(2);
    EXPECT_TRUE(App.paused);
    pad.Button(SDL_CONTROLLER_BUTTON_START, true);
    Frames(1);
    pad.Button(SDL_CONTROLLER_BUTTON_START, false);
    Frames(1);
    EXPECT_FALSE(App.paused);

    // Pulled out holding fire, a nudge and the rear view: the mouse steers again and none of
    // them stays down.
    pad.Button(SDL_CONTROLLER_BUTTON_A, true);
    pad.Button(SDL_CONTROLLER_BUTTON_DPAD_UP, true);
    pad.Button(SDL_CONTROLLER_BUTTON_B, true);
    Frames(1);
    ASSERT_EQ(keys[vk::Space], 1);
    ASSERT_EQ(keys[vk::Up], 1);
    ASSERT_EQ(keys[vk::End], 1);
    pad.Detach();
    Frames(1);
    EXPECT_FALSE(App.joystick.padInUse);
    EXPECT_EQ(keys[vk::Space], 0);
    EXPECT_EQ(keys[vk::Up], 0);
    EXPECT_EQ(keys[vk::End], 0);
    EXPECT_NEAR(Axes.horizontal, 0.25f, 1e-6f);
    EXPECT_TRUE(App.running);
    EXPECT_TRUE(errors.reports.empty());
}

TEST_F(PadFixture, ThePlayersOwnMappingFileLaysOutAPadSdlDoesNotKnow) {
    // A pad with a real pad's button numbers whose name and ids SDL's database lacks.
    SDL_VirtualJoystickDesc d{};
    d.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    d.type = SDL_JOYSTICK_TYPE_UNKNOWN;
    d.naxes = 4;
    d.nbuttons = 13;
    d.nhats = 1;
    d.vendor_id = 0x1234;
    d.product_id = 0x5678;
    d.name = "Afterglow PS3 Controller";
    std::string guid;
    {
        VirtualPad probe;
        ASSERT_TRUE(probe.Attach(d)) << SDL_GetError();
        guid = probe.Guid();
        ASSERT_FALSE(SDL_IsGameController(0)) << "SDL already knows the test pad";
    }
    // The pad's published mapping on this device (as SDL's documentation prints it, without
    // the trailing comma), below a line SDL cannot read.
    char folder[PathBufferSize];
    ASSERT_TRUE(PlatformUserConfigFolder(folder, sizeof folder, "kelvane"));
    ASSERT_TRUE(PlatformMakeFolders(folder));
    std::string path = std::string(folder) + "/" + PadMappingFile;
    {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fprintf(f, "# my pads\r\n\r\nnot a mapping\r\n%s,Afterglow PS3 Controller,a:b1,b:b2,y:b3,x:b0,"
                        "start:b9,guide:b12,back:b8,dpup:h0.1,dpleft:h0.8,dpdown:h0.4,dpright:h0.2,"
                        "leftshoulder:b4,rightshoulder:b5,leftstick:b10,rightstick:b11,leftx:a0,lefty:a1,"
                        "rightx:a2,righty:a3,lefttrigger:b6,righttrigger:b7\r\n",
                     guid.c_str());
        std::fclose(f);
    }
    StartPads();
    std::filesystem::remove(path);
    ASSERT_EQ(errors.reports.size(), 1u);
    EXPECT_EQ(errors.reports[0].message, "Unable to use the pad mapping:");
    EXPECT_EQ(errors.reports[0].detail, path + ", line 3");

    VirtualPad pad;
    ASSERT_TRUE(pad.Attach(d)) << SDL_GetError();
    Frames(1);
    ASSERT_TRUE(App.joystick.padInUse) << "the mapping file's pad was not taken as a pad";
    // Its button 1 is A: fire. Button 0 is X: the target view. The hat is the d-pad.
    pad.Button(1, true);
    pad.Hat(SDL_HAT_UP);
    Frames(1);
    EXPECT_EQ(keys[vk::Space], 1);
    EXPECT_EQ(keys[vk::Up], 1);
    EXPECT_EQ(CameraView, PilotView);
    pad.Button(1, false);
    pad.Hat(SDL_HAT_CENTERED);
    pad.Button(0, true);
    Frames(1);
    EXPECT_EQ(keys[vk::Space], 0);
    EXPECT_EQ(keys[vk::Up], 0);
    EXPECT_EQ(CameraView, TargetView);
    pad.Button(0, false);
    // The right trigger is a button on this pad (7); the right shoulder (5) steps the throttle.
    pad.Button(7, true);
    pad.Button(5, true);
    pad.Axis(0, -32768);
    Frames(1);
    EXPECT_EQ(keys[vk::Space], 1);
    EXPECT_EQ(Throttle, 1);
    EXPECT_NEAR(Axes.horizontal, -1.0f, 1e-6f);
}

TEST(PadLauncher, APressesStartAndBackQuits) {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs an X display";
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    TempDir media;  // no splash picture: reported, and the launcher works without it
    ErrorCapture errors;
    SetMediaFolderOverride(media.path.c_str());
    StartPads();
    VirtualPad pad;
    ASSERT_TRUE(pad.Attach(ControllerDesc())) << SDL_GetError();
    const SDL_GameControllerButton buttons[] = {SDL_CONTROLLER_BUTTON_A, SDL_CONTROLLER_BUTTON_BACK};
    for (SDL_GameControllerButton button : buttons) {
        SCOPED_TRACE(button);
        std::string title = UniqueTitle(button == SDL_CONTROLLER_BUTTON_A ? "Pad start" : "Pad quit");
        std::string shown = media.File("shown"), late = media.File("late");
        std::filesystem::remove(shown);
        std::filesystem::remove(late);
        pid_t watcher = StartDriver("timeout 20 xdotool search --sync --onlyvisible --name '^" + title +
                                    "$' >/dev/null && touch '" + shown + "'");
        // Should the pad go unheard, the window is closed well after the press instead of
        // leaving the test waiting.
        pid_t closer = StartCloser(title, 30000, late);
        auto released = std::chrono::steady_clock::now();
        std::atomic<bool> answeredAlready{false};
        std::thread player([&] {
            for (int i = 0; i < 200 && !std::filesystem::exists(shown); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            pad.Button(button, true);
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            pad.Button(button, false);
            released = std::chrono::steady_clock::now();
            for (int i = 0; i < 60 && !answeredAlready; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
            std::FILE* f = std::fopen(late.c_str(), "wb");
            if (f != nullptr) std::fclose(f);
        });
        bool started = RunLauncher(title.c_str());
        auto returned = std::chrono::steady_clock::now();
        answeredAlready = true;
        player.join();
        double answered = std::chrono::duration<double>(returned - released).count();
        StopDriver(watcher, false);
        StopDriver(closer, false);
        EXPECT_EQ(started, button == SDL_CONTROLLER_BUTTON_A);
        EXPECT_LT(answered, 1.5) << "the launcher did not answer the pad";
    }
    SetMediaFolderOverride(nullptr);
    App.settings = Settings{};
}
