#include "platform/clock.h"

#include <SDL.h>

uint32_t PlatformTicks() { return SDL_GetTicks(); }

void PlatformSleep(uint32_t ms) { SDL_Delay(ms); }
