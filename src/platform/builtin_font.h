// The HUD's letters of last resort: a 5 x 7 pixel font built into the game, drawn when no
// TrueType face can be found, so the score and GAME OVER stay readable on any machine.
#pragma once

#include <cstdint>

// Capital letters, digits and ASCII punctuation; small letters are drawn as capitals and
// anything else as a hollow box.
constexpr int BuiltinGlyphColumns = 5;
constexpr int BuiltinGlyphRows = 7;

// The glyph's rows, top first; bit 4 of each row is the leftmost pixel.
const uint8_t* BuiltinGlyph(char c);

// Draws text white on black, each glyph pixel a scale x scale square, in cells of
// (5 + 1) * scale x lineHeight pixels whose top-left corner is (left, top) of a bitmap laid out
// as PlatformDrawText's. Returns lineHeight when anything fell inside the bitmap, else 0.
int DrawBuiltinText(const char* text, int scale, int lineHeight, uint8_t* pixels, int width,
                    int height, int left, int top);
