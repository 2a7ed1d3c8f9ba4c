// The HUD's text: one line rendered into a small 32-bit bitmap with the desktop's bold sans
// TrueType face, found through fontconfig, or with built-in letters when there is none.
#pragma once

#include <cstdint>

struct PlatformFont;

// Opens the HUD font (DejaVu Sans Bold preferred, else fontconfig's closest bold sans) at
// the largest size whose line is at most lineHeight pixels tall. Without any usable
// TrueType face it gives the built-in 5 x 7 letters, scaled to the line, and says so once
// on stderr. Null only when lineHeight is too small for any letter.
PlatformFont* PlatformOpenFont(int lineHeight);
// The TrueType file in use; empty for the built-in letters.
const char* PlatformFontFile(const PlatformFont* font);
void PlatformCloseFont(PlatformFont* font);

// Draws text white on black with its top-left corner at (left, top) of a bitmap of
// width x height pixels, 4 bytes each (blue, green, red, x), stored bottom row first; the
// text cells get the black background. Whatever falls outside the bitmap is cut off.
// Returns the height of the drawn line in pixels, 0 when nothing could be drawn.
int PlatformDrawText(PlatformFont* font, const char* text, uint8_t* pixels, int width,
                     int height, int left, int top);
// The width in pixels of text drawn in font; 0 for no font or no text.
int PlatformTextWidth(PlatformFont* font, const char* text);
