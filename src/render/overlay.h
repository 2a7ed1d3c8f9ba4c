// The one-line HUD in the bottom-left corner: the mission's name, the score or GAME OVER.
#pragma once

#include <cstdint>

struct TextOverlay {
    uint8_t* pixels = nullptr;     // width * height * 4 bytes: blue, green, red, x; rows bottom-up
    uint8_t* blankCopy = nullptr;  // the pixels right after creation (black)
    float rasterX = 0, rasterY = 0;  // bottom-left corner in normalised device coordinates
    int pixelCount = 0;
    int byteCount = 0;
    bool blend = false;
    int width = 0, height = 0;
    char text[64] = "";  // the last line drawn since the overlay was cleared
};

struct OverlayRect {
    int left, top, right, bottom;
};

extern TextOverlay ScoreOverlay;
extern const OverlayRect ScoreRect;  // (0, 0, 148, 24): wider than the bitmap, text is cut
extern int Score;

bool CreateOverlay(TextOverlay& overlay, int left, int top, int right, int bottom, int screenWidth,
                   int screenHeight, bool blend);
void ClearOverlay(TextOverlay& overlay);
int DrawOverlayText(TextOverlay& overlay, const char* text, const OverlayRect& rect, unsigned format);
// Score += delta and redraws the line ("SCORE: %i", or "GAME OVER" while the player is dead).
void AddScore(int delta);
void DrawOverlay(const TextOverlay& overlay);
void ReleaseOverlay(TextOverlay& overlay);
