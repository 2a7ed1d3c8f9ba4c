// A small world for simulation and game-flow tests: a synthetic terrain, target and
// aircraft models with simple boxes, silent voices (a started one stays active until the test stops it), and
// every game global back at its start value.
#pragma once

#include <cstdint>

#include "support/terrain_grid.h"

// Resets the game's globals and builds the world over a terrain of the given heights
// (flat at 630, the air base's height, when null). The hangar stands where the game
// puts it. The test clock is installed and reads nowMs.
void SetUpSimWorld(HeightFunction height = nullptr);
// The same world over the generated media: terrain, zeppelin, tank and biplane loaded from
// the build's media folder. False (and nothing set up) when the media are not there.
bool SetUpSimWorldOnGeneratedMedia();
void TearDownSimWorld();

// The test clock, in milliseconds; Seconds() follows it.
extern uint32_t TestNowMs;

// Flat ground at the air base's height.
float FlatBase(float x, float z);
