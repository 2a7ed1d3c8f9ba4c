// The HUD's text: one line rendered with a TrueType font into a small 32-bit bitmap.
#pragma once

#include <cstdint>

struct PlatformFont;

// Opens the HUD font (DejaVu Sans Bold) at the largest size whose line is at most
// lineHeight pixels tall. Null when the font or the text renderer is unavailable.
PlatformFont* PlatformOpenFont(int lineHeight);
void PlatformCloseFont(PlatformFont* font);

// Draws text white on black with its top-left corner at (left, top) of a bitmap of
// width x height pixels, 4 bytes each (blue, green, red, x), stored bottom row first; the
// text cells get the black background. Whatever falls outside the bitmap is cut off.
// Returns the height of the drawn line in pixels, 0 when nothing could be drawn.
int PlatformDrawText(PlatformFont* font, const char* text, uint8_t* pixels, int width,
                     int height, int left, int top);
