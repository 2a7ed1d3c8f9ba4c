// Temporary join point: scene drawing is not built yet.
#include "render/scene.h"

void DrawScene() {}
