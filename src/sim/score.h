// The score and its HUD line.
#pragma once

// Starts at 0; +5 for a zeppelin, a tank or a triplane brought down, +1 for a hit on the
// triplane, -1 for being shot down or ramming; back to 0 at a crash.
extern int Score;

// Score += delta and redraws the line ("SCORE: %i", or "GAME OVER" while the player is dead).
void AddScore(int delta);
