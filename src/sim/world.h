// The world's long-lived objects: the ten models the game draws and collides with (the two
// aircraft records are in sim/aircraft.h). Each lives for the whole process; they are
// loaded and released only through LoadWorld and UnloadWorld.
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

// How the world is loaded: compiled into display lists for drawing (needs an OpenGL
// context), or only read, for running the game without a window.
enum class WorldUse { Drawn, Headless };

// The one way to load the world, for the game, the replay, the pilot, the benchmarks and
// the tests: LoadWorldModels, then StartWorld. Files that fail to load are reported by
// their loaders and left out.
void LoadWorld(WorldUse use);
// The ten models from the media folder, each into its global.
void LoadWorldModels(WorldUse use);
// Starts the propeller's animation and places the fixed scenery. The game does this after
// opening the sound output and the HUD, as its loading order has it.
void StartWorld();
// Releases the ten models: biplane, tank, zeppelin, smoke, sky dome, shot, runway,
// hangar, triplane, terrain. Their OpenGL names go with the context when it is already gone
// (a normal exit); the deletions then do nothing.
void UnloadWorld();
// Puts the hangar, the runway and the sky dome where they stand (part of StartWorld).
void PlaceFixedScenery();
