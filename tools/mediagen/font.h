// A small stroke font (capitals, digits) for painting titles into pictures.
#pragma once

#include <string>

#include "image.h"

// Letters are 4 x 6 units, drawn `scale` pixels per unit with strokes `width` pixels wide;
// (x, y) is the top-left corner of the first letter; `slant` leans the letters right by
// that many units per unit of height.
void DrawText(Image& image, const std::string& text, float x, float y, float scale, float width,
              float slant, Rgba colour);
float TextWidth(const std::string& text, float scale);
