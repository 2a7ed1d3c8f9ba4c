// Turning loaded models into OpenGL drawing.
#pragma once

#include "assets/model.h"
#include "assets/skinned_model.h"

// Loads the file and compiles it into the next name of the display-list pool.
void CompileModel(const char* fileName, Model& model);
void DrawArrayModel(const ArrayModel& model);
void DrawSkinnedModel(const SkinnedModel& skinned);
