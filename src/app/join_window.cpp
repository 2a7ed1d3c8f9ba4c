// Temporary join point: the game window and OpenGL context are not built yet.
#include "app/game_window.h"
#include "platform/window.h"

bool InitGame(const float*) { return false; }
bool CreateGLWindow() { return false; }
void DestroyGLWindow() {}
void ApplyCamera() {}
void PlatformSwapWindow(PlatformWindow*) {}
