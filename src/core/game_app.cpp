#include "core/game_app.h"

// Constant-initialised: no constructor runs before main.
GameApp App;
float FrameDt = 0.0f;
