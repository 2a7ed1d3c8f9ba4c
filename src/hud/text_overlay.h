// The HUD's text bitmap: the one line in the bottom-left corner (the mission's name, the
// score or GAME OVER), rendered only when it changes. render/overlay.h copies it onto a frame.
#pragma once

#include <cstdint>

struct PlatformFont;

// A line of white text on black in a small bitmap that is copied onto the bottom-left of
// every frame. The text is rendered only when it changes.
struct TextOverlay {
    uint8_t* pixels = nullptr;     // width * height * 4 bytes: blue, green, red, x; rows bottom-up
    uint8_t* blankCopy = nullptr;  // the pixels right after creation (black)
    float rasterX = 0, rasterY = 0;  // bottom-left corner in normalised device coordinates
    int pixelCount = 0;
    int byteCount = 0;
    bool blend = false;
    int width = 0, height = 0;
    char text[64] = "";  // the last line drawn since the overlay was cleared
    PlatformFont* font = nullptr;  // null when no font could be opened: the box stays black
    int lineHeight = 0;            // the font's line, pixels
};

struct OverlayRect {
    int left, top, right, bottom;
};

extern TextOverlay ScoreOverlay;
// Captions of the spoken texts over the frame's bottom, above the score box and below the
// aiming area; drawn only while it holds a caption.
extern TextOverlay CaptionOverlay;
extern const OverlayRect ScoreRect;  // (0, 0, 148, 24): wider than the bitmap, text is cut

// Makes a (right - left) x (bottom - top) black bitmap for the rectangle of a top-down
// screenWidth x screenHeight layout, placed by its bottom-left corner in normalised device
// coordinates (so it keeps its pixel size and corner on a window of any size). False when
// the sizes are not positive (then nothing is drawn). lineHeight 0 gives the HUD's line of
// 16 pixels.
bool CreateOverlay(TextOverlay& overlay, int left, int top, int right, int bottom, int screenWidth,
                   int screenHeight, bool blend, int lineHeight = 0);
// Makes the bitmap black again.
void ClearOverlay(TextOverlay& overlay);
// Draws text left- and top-aligned at the rectangle's top-left corner, white on black,
// cut at the bitmap's edges (format is accepted for the callers' sake; all pass 0).
// Returns the height of the line drawn, 0 when nothing was drawn.
int DrawOverlayText(TextOverlay& overlay, const char* text, const OverlayRect& rect, unsigned format);
// The width of text in the overlay's font, pixels.
int OverlayTextWidth(const TextOverlay& overlay, const char* text);
// Lays text out over the cleared bitmap as a caption: broken into lines at spaces (and
// at each '\n') to fit the width, at most as many lines as fit the height, the last
// line at the bottom and every line centred on its own opaque black box. Everything
// else stays transparent: the overlay is meant to be blended. Returns the line count.
int DrawOverlayCaption(TextOverlay& overlay, const char* text);
void ReleaseOverlay(TextOverlay& overlay);
