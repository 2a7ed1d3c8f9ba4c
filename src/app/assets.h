// Loading every model and sound, and placing the fixed scenery.
#pragma once

// Always true: files that fail to load are reported by their loaders and left out.
bool LoadAssets();
// The models of LoadAssets, each into its global; compiled into display lists (which needs
// an OpenGL context) or only loaded, for running the game without a window.
void LoadWorldModels(bool compile);
// The propeller's animation started and the fixed scenery placed (part of LoadAssets).
void StartWorld();
// Puts the hangar, the runway and the sky dome where they stand (part of StartWorld).
void PlaceFixedScenery();
