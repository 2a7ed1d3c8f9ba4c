// The game's long-lived objects. Each lives for the whole process; construction and
// teardown run in one fixed order (not C++'s unspecified cross-file order).
#pragma once

#include "assets/model.h"
#include "assets/skinned_model.h"

// Models compiled into display lists.
extern Model TerrainModel;
extern Model TriplaneModel;
extern Model HangarModel;
extern Model RunwayModel;
extern Model ShotModel;
extern Model SkyDomeModel;
extern Model SmokeModel;
// Models drawn from vertex arrays: their shapes change when they are destroyed.
extern ArrayModel ZeppelinModel;  // "blimp.a3f"
extern ArrayModel TankModel;
// The player's biplane.
extern SkinnedModel BiplaneModel;

// Runs the start-up construction steps in order: speech output, application, overlay,
// sound system, MIDI player (opens the MIDI device), aircraft, view ring, models.
void ConstructGlobals();
// Tears down in the reverse order.
void TeardownGlobals();
