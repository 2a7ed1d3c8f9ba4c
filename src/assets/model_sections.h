// The static sections of an .a3f file, read by the model loader's section loop. Each
// returns false after reporting a failure that ends the load.
#pragma once

#include "assets/model.h"
#include "assets/model_text.h"

bool ReadVerticesSection(ModelText& text, const char* fileName, Model& model);
bool ReadFacesSection(ModelText& text, const char* fileName, Model& model);
bool ReadMaterialsSection(ModelText& text, const char* fileName, Model& model);
