#include <cstdio>

#include "app/game_flow.h"
#include "render/overlay.h"

int Score = 0;

void AddScore(int delta) {
    Score += delta;
    char text[32];
    std::snprintf(text, sizeof text, "SCORE: %i", Score);
    if (GameState == Dead) std::snprintf(text, sizeof text, "GAME OVER");
    ClearOverlay(ScoreOverlay);
    DrawOverlayText(ScoreOverlay, text, ScoreRect, 0);
}
