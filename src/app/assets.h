// Loading every model and sound, and placing the fixed scenery.
#pragma once

// Always true: files that fail to load are reported by their loaders and left out.
bool LoadAssets();
// Puts the hangar, the runway and the sky dome where they stand (part of LoadAssets).
void PlaceFixedScenery();
