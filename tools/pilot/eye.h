// What a person at the game's window sees and hears in one frame, taken from the frame the
// game would draw: points go through the game's own camera (App.camera, set by
// UpdateCamera) and its projection (ProjectionFrustum), onto whole pixels of a 640 x 480
// window. README.md beside this file says why a person has each of these.
#pragma once

#include <cstdint>

#include "math/vec3.h"

constexpr int ScreenWidth = 640;
constexpr int ScreenHeight = 480;

// A point of the world on the screen.
struct Spot {
    bool seen = false;  // in front, inside the window and at least SeenSize pixels across
    int x = 0, y = 0;   // its pixel, from the window's top-left corner
    float size = 0;     // how many pixels the object spans
};

// A sound heard through the game's stereo mixing.
struct Heard {
    bool heard = false;  // within the mixer's audible range
    int side = 0;        // -1 louder on the left, +1 on the right
    bool behind = false; // muffled: the mixer's back filter
    float loudness = 0;  // 0..1, by tenths
};

struct Sight {
    // The horizon: where the sky meets the ground. pitch is the nose's angle above it and
    // bank the tilt of the wings (right wing down positive), both read off the line's
    // pixels. When the line is off the screen only the sign of pitch is known (sky or
    // ground fills the window) and bank keeps the last value read.
    bool horizonSeen = false;
    float pitch = 0;
    float bank = 0;
    // Judged height above the ground under the aircraft (see README.md), and whether the
    // wheels rumble on it.
    float height = 0;
    bool onGround = true;
    // The edge of the world (its ring of mountains and the void past them) filling the
    // view ahead: less than 6000 away along the nose.
    bool edgeAhead = false;
    Spot zeppelin;
    bool zeppelinFalling = false;  // hit: it smokes and sinks
    float zeppelinElevation = 0;   // its angle above the horizon, read off the screen
    Spot hangar;                   // the hangar's floor ring, at its middle
    Spot runwaySouth, runwayNorth; // the ends of the strip
    Spot shots[6];                 // the tracers of the player's burst
    int shotCount = 0;
    Heard zeppelinEngine, siren;
};

// The pixel a point of the world falls on, as the game's last camera update draws it.
Spot Project(Vec3 world, float radius);
// The eye-space direction (x right, y up, z toward the viewer) through a pixel.
Vec3 PixelDirection(int x, int y);
// The direction's angle above the horizon, the horizon as the sight read it.
float ElevationOf(const Sight& sight, Vec3 eyeDirection);
// The bearing of an eye-space direction from the nose, in the horizontal plane the horizon
// shows: positive to the right.
float BearingOf(const Sight& sight, Vec3 eyeDirection);
// The eye-space direction at a bearing (right positive) and an elevation above the horizon.
Vec3 DirectionAt(const Sight& sight, float bearing, float elevation);
// One frame's sight; heightJudgement scales the true height as the person misjudges it,
// lastBank is the bank kept when the horizon is off the screen.
Sight Look(float heightJudgement, float lastBank);
// Pixels per unit of tangent at the window's middle (the projection's focal length).
float FocalPixels();
