// The application object: window and OpenGL context, the frame clock, the controls, the
// view matrix, the light, the joystick and the settings.
#pragma once

#include "core/controls.h"
#include "core/joystick.h"
#include "core/settings.h"
#include "math/mat4.h"

struct PlatformWindow;  // the game window and its OpenGL context (src/platform/)

struct LightSlot {
    float ambient[4];
    float diffuse[4];
    float specular[4];
    float position[4];
};

struct GameApp {
    PlatformWindow* window = nullptr;  // the game window with its OpenGL context; null when none
    bool fullScreen = false;           // the display mode was changed and must be restored
    bool paused = false;               // frames are suspended while set
    bool running = false;              // the main loop continues while set
    bool helpShown = false;            // the key card is up: frames are suspended while set
    bool helpRedrawDue = false;        // the card was shown or closed: present it once
    Mat4* cameraMatrix = nullptr;      // the view multiplied onto the projection; points at camera
    float clearColour[4] = {0, 0, 0, 0};
    ControlState controls{};
    float dt = 0.0f;                   // last measured interval since the previous frame
    float lastFrameTime = 0.0f;        // Seconds() at the start of the previous frame
    Mat4 camera = Identity4;    // the view matrix itself
    LightSlot light0{};
    Joystick joystick{};
    Settings settings;
};

extern GameApp App;

// The drawn frame's time step in seconds: at least 0.03 on a drawn frame, 0 otherwise.
extern float FrameDt;

// The longest step handed to the game after a stall (a suspended machine, a debugger, a
// modal box): above 0.78 s the flight model's ground damping turns negative and above
// 1.56 s velocities grow without bound.
constexpr float MaxFrameDt = 0.25f;
// Frames are drawn at most this often (the single-precision 0.03).
constexpr float MinFrameDt = 0.03f;
