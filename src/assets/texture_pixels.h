// Pixel work done on a texture before and after upload, kept apart from OpenGL.
#pragma once

#include <cstdint>

#include "assets/model.h"

// Turns pixelCount loaded pixels (blue, green, red, x) into red, green, blue, alpha in
// place, the alpha set by the material's rule:
//   AlphaNone 255; AlphaLuminance 255 - average; AlphaIlluminance average;
//   AlphaBlackMask 0 for pure black; AlphaRed 0 for pure white; AlphaGreen 0 for the colour
//   of the first pixel; AlphaRedMask the low 8 bits of alphaParam truncated to an integer;
//   the others keep the alpha the image reader produced.
void ApplyAlphaRule(uint8_t* pixels, int pixelCount, AlphaMode mode, float alphaParam);

// Box-filters one mipmap level: each target texel is the truncated average, byte by byte,
// of a 2 x 2 block of the width x height source (a side of 1 repeats its only row or
// column). The target holds max(width / 2, 1) x max(height / 2, 1) texels, rows packed.
void HalveTexels(const uint8_t* source, int width, int height, uint8_t* target);

// Rounds every byte of pixelCount RGBA pixels to the nearest of the 16 levels a 4-bit
// channel holds, (byte * 15 + 127) / 255, written back as 8 bits (level * 17): the texel a
// 4-bit texture gives when it is read, stored so that it costs no unpacking to read and
// looks the same on every driver, also on one that would keep 8 bits for a 4-bit format.
void RoundTexelsToFourBits(uint8_t* pixels, int pixelCount);
