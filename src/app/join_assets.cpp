// Temporary join point: asset loading is not built yet.
#include "app/assets.h"

bool LoadAssets() { return true; }
