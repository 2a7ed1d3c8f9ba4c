// The HUD bitmap drawn over the frame.
#pragma once

#include "hud/text_overlay.h"

// Copies the bitmap onto the frame, opaque unless blend was asked for. Leaves the
// projection matrix selected and the modelview matrix at the identity.
void DrawOverlay(const TextOverlay& overlay);
// Copies width x height pixels (blue, green, red, x or alpha; bottom row first) onto the
// frame with their bottom-left corner at (rasterX, rasterY) in normalised device
// coordinates, with the same state as DrawOverlay.
void DrawPixelsOverFrame(float rasterX, float rasterY, int width, int height, const uint8_t* pixels, bool blend);
