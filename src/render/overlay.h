// The HUD bitmap drawn over the frame.
#pragma once

#include "hud/text_overlay.h"

// Copies the bitmap onto the frame, opaque unless blend was asked for. Leaves the
// projection matrix selected and the modelview matrix at the identity.
void DrawOverlay(const TextOverlay& overlay);
