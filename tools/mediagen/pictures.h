// Pictures shared by the splash and the icons.
#pragma once

#include "image.h"
#include "media_output.h"

// A side view of a biplane, nose to the right, turned by `angle` (radians, positive
// climbs), `size` pixels long.
void PaintBiplane(Image& image, float cx, float cy, float size, float angle, Rgba colour);

// The desktop icon, size x size pixels: a biplane climbing across a roundel on a sky.
Image PaintIcon(int size);

// The icon theme's PNGs, kelvane-<size>.png for 48, 64, 128 and 256 pixels, into the folder
// of out (the media folder's icon.png is the 64-pixel one).
void MakeIcons(MediaOutput& out);
