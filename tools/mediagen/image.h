// Pictures painted in memory (top row first) and written as BMP, TGA or JPEG files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Rgba {
    uint8_t r, g, b, a;
};

struct Image {
    int width = 0, height = 0;
    std::vector<Rgba> pixels;  // row 0 is the top row
    Rgba& At(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
    const Rgba& At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

Image MakeImage(int width, int height, Rgba fill);

Rgba Mix(Rgba a, Rgba b, float t);
Rgba Shade(Rgba c, float factor);  // scales r, g, b; keeps alpha
uint8_t ClampByte(float value);

// Painting; coordinates in pixels, partly covered pixels blended by coverage.
void FillRect(Image& image, int x0, int y0, int x1, int y1, Rgba colour);  // [x0, x1) x [y0, y1)
void FillCircle(Image& image, float cx, float cy, float radius, Rgba colour);
void FillEllipse(Image& image, float cx, float cy, float rx, float ry, Rgba colour);
void DrawLine(Image& image, float x0, float y0, float x1, float y1, float width, Rgba colour);
// Fills the polygon (any winding) with the pixel centres inside it.
void FillPolygon(Image& image, const std::vector<float>& xy, Rgba colour);
void BlendPixel(Image& image, int x, int y, Rgba colour, float coverage);

// Smooth value noise over a square lattice that repeats every `period` cells, filled from
// the game's random generator with a fixed seed. Sample returns 0..1.
struct Noise {
    int period = 1;
    std::vector<float> lattice;
};
Noise MakeNoise(int period, uint32_t seed);
float SampleNoise(const Noise& noise, float x, float y);
// Sum of octaves, each twice the frequency and half the weight; x, y in 0..1 of one tile,
// so the result tiles with period 1 in both directions. Returns about 0..1.
float TiledFractal(const Noise& noise, float x, float y, int octaves);

// File encodings. BMP: 24-bit, rows bottom-up as the format stores them. TGA: 24-bit or,
// with alpha, 32-bit true colour, optionally run-length packed; `reversedOrder` writes
// the pixels last first under an image descriptor of exactly 0 (which readers reverse
// back); otherwise the descriptor marks top-left origin. Colour-mapped TGA: 8-bit
// indices into a 24-bit map; fails when the image has more than 256 colours.
std::vector<uint8_t> EncodeBmp(const Image& image);
std::vector<uint8_t> EncodeTga(const Image& image, bool runLength, bool withAlpha, bool reversedOrder);
bool EncodeColourMappedTga(const Image& image, std::vector<uint8_t>& out);
// Rounds the colours to fewer levels per channel until at most maxColours remain, for a
// colour-mapped file.
void ReduceColours(Image& image, size_t maxColours);
// Baseline JPEG through libjpeg.
std::vector<uint8_t> EncodeJpeg(const Image& image, int quality, bool fullColour = false);
