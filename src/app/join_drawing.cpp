// Temporary join point: mesh drawing and the display-list pool are not on main yet.
// Whoever lands the real CompileModel/DrawArrayModel/DrawSkinnedModel deletes this file.
#include "assets/mesh_drawing.h"

void CompileModel(const char* fileName, Model& model) { LoadModelFile(fileName, model); }
void DrawArrayModel(const ArrayModel&) {}
void DrawSkinnedModel(const SkinnedModel&) {}
