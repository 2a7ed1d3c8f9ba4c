#include "assets/mesh_drawing.h"

// Kept apart from the list compiler so that code which only draws does not pull in the
// model file reader.
void CompileModel(const char* fileName, Model& model) {
    if (!LoadModelFile(fileName, model)) return;
    CompileModelList(model);
}
