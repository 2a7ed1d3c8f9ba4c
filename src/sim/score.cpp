#include "sim/score.h"

#include <cstdio>

#include "sim/game_flow.h"
#include "hud/text_overlay.h"

int Score = 0;

void AddScore(int delta) {
    Score += delta;
    char text[32];
    std::snprintf(text, sizeof text, "SCORE: %i", Score);
    if (Flow.state == Dead) std::snprintf(text, sizeof text, "GAME OVER");
    ClearOverlay(ScoreOverlay);
    DrawOverlayText(ScoreOverlay, text, ScoreRect, 0);
}
