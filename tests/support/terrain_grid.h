// Synthetic terrains for flight tests: the game's 50 x 50 grid of 1000-unit cells from
// -25000 to +25000, two faces per cell in the game's order, heights from a function.
#pragma once

#include "assets/model.h"

using HeightFunction = float (*)(float x, float z);

// Fills model with the grid (arrays owned by the helper: free with FreeTerrainGrid).
void BuildTerrainGrid(Model& model, HeightFunction height);
void FreeTerrainGrid(Model& model);

// The air base's height, 630, everywhere but a ridge to the north of the hangar across the
// whole map: up 130 from z = 9000 to 10000 and down again by z = 11000. Its crest is sharp
// enough to throw a rolling aircraft into the air.
float BaseWithRidge(float x, float z);
