// Drawing the world.
#pragma once

#include "assets/model.h"

// Draws every model in its fixed order, the shots, the shot-down enemy's smoke, the death
// view's puff and the score line. Called once per drawn frame after ApplyCamera.
void DrawScene();

// The smoke puff over the crashed player, growing with the time since the crash.
void DrawDeathPuff();
// A display-list model with its own matrix and texture, only while visible >= 1.
void DrawModelList(const Model& model);
