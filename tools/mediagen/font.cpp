#include "font.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// Each glyph is a list of strokes "x,y x,y ..." separated by '|', on a grid 4 wide and 6
// tall with y downward.
struct Glyph {
    char letter;
    const char* strokes;
};

const Glyph Glyphs[] = {
    {'A', "0,6 2,0 4,6|0.7,4 3.3,4"},
    {'B', "0,3 3,3 4,4 4,5 3,6 0,6 0,0 3,0 3.8,0.8 3.8,2.2 3,3"},
    {'C', "4,1 3,0 1,0 0,1 0,5 1,6 3,6 4,5"},
    {'D', "0,0 0,6 2.5,6 4,4.5 4,1.5 2.5,0 0,0"},
    {'E', "4,0 0,0 0,6 4,6|0,3 3,3"},
    {'F', "4,0 0,0 0,6|0,3 3,3"},
    {'G', "4,1 3,0 1,0 0,1 0,5 1,6 3,6 4,5 4,3.5 2.5,3.5"},
    {'H', "0,0 0,6|4,0 4,6|0,3 4,3"},
    {'I', "1,0 3,0|2,0 2,6|1,6 3,6"},
    {'J', "4,0 4,5 3,6 1,6 0,5"},
    {'K', "0,0 0,6|4,0 0,3.8|1.4,2.6 4,6"},
    {'L', "0,0 0,6 4,6"},
    {'M', "0,6 0,0 2,3.5 4,0 4,6"},
    {'N', "0,6 0,0 4,6 4,0"},
    {'O', "1,0 3,0 4,1 4,5 3,6 1,6 0,5 0,1 1,0"},
    {'P', "0,6 0,0 3,0 4,1 4,2 3,3 0,3"},
    {'Q', "1,0 3,0 4,1 4,5 3,6 1,6 0,5 0,1 1,0|2.5,4.5 4,6"},
    {'R', "0,6 0,0 3,0 4,1 4,2 3,3 0,3|2,3 4,6"},
    {'S', "4,1 3,0 1,0 0,1 0,2 1,3 3,3 4,4 4,5 3,6 1,6 0,5"},
    {'T', "0,0 4,0|2,0 2,6"},
    {'U', "0,0 0,5 1,6 3,6 4,5 4,0"},
    {'V', "0,0 2,6 4,0"},
    {'W', "0,0 1,6 2,2.5 3,6 4,0"},
    {'X', "0,0 4,6|4,0 0,6"},
    {'Y', "0,0 2,3 4,0|2,3 2,6"},
    {'Z', "0,0 4,0 0,6 4,6"},
    {'0', "1,0 3,0 4,1 4,5 3,6 1,6 0,5 0,1 1,0"},
    {'1', "1,1 2,0 2,6|1,6 3,6"},
    {'2', "0,1 1,0 3,0 4,1 4,2 0,6 4,6"},
    {'3', "0,1 1,0 3,0 4,1 4,2 3,3 1.5,3|3,3 4,4 4,5 3,6 1,6 0,5"},
    {'4', "3,6 3,0 0,4 4,4"},
    {'5', "4,0 0,0 0,3 3,3 4,4 4,5 3,6 0,6"},
    {'6', "3.5,0 1,0 0,1 0,5 1,6 3,6 4,5 4,4 3,3 0,3"},
    {'7', "0,0 4,0 1.5,6"},
    {'8', "1,3 0,2 0,1 1,0 3,0 4,1 4,2 3,3 1,3 0,4 0,5 1,6 3,6 4,5 4,4 3,3"},
    {'9', "4,3 1,3 0,2 0,1 1,0 3,0 4,1 4,5 3,6 1,6"},
    {'-', "0.8,3 3.2,3"},
    {'.', "1.8,5.8 2.2,5.8"},
    {'!', "2,0 2,4|2,5.8 2,5.9"},
};

const char* FindGlyph(char letter) {
    for (const Glyph& g : Glyphs)
        if (g.letter == letter) return g.strokes;
    return nullptr;
}

constexpr float Advance = 5.4f;
constexpr float SpaceAdvance = 3.5f;

// Letter pairs that leave a hole between them are drawn closer.
float Kerning(char a, char b) {
    static const char* const loose[] = {"LV", "LT", "LY", "LW"};
    static const char* const slight[] = {"AV", "VA", "TA", "AT", "AW", "WA"};
    for (const char* p : loose)
        if (p[0] == a && p[1] == b) return -1.6f;
    for (const char* p : slight)
        if (p[0] == a && p[1] == b) return -0.9f;
    return 0.0f;
}

float Step(const std::string& text, size_t i) {
    float step = text[i] == ' ' ? SpaceAdvance : Advance;
    if (i + 1 < text.size()) step += Kerning(text[i], text[i + 1]);
    return step;
}

}  // namespace

float TextWidth(const std::string& text, float scale) {
    float w = 0.0f;
    for (size_t i = 0; i < text.size(); ++i) w += Step(text, i) * scale;
    return w > 0.0f ? w - (Advance - 4.0f) * scale : 0.0f;
}

void DrawText(Image& image, const std::string& text, float x, float y, float scale, float width,
              float slant, Rgba colour) {
    float penX = x;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        const char* strokes = FindGlyph(c);
        if (strokes != nullptr) {
            // Parse the strokes and draw each segment.
            const char* s = strokes;
            std::vector<float> points;
            auto flush = [&]() {
                for (size_t i = 0; i + 3 < points.size(); i += 2) {
                    float ax = points[i], ay = points[i + 1], bx = points[i + 2], by = points[i + 3];
                    DrawLine(image, penX + (ax + (6 - ay) * slant) * scale, y + ay * scale,
                             penX + (bx + (6 - by) * slant) * scale, y + by * scale, width, colour);
                }
                if (points.size() == 2) {
                    float ax = points[0], ay = points[1];
                    FillCircle(image, penX + (ax + (6 - ay) * slant) * scale, y + ay * scale, width * 0.5f, colour);
                }
                points.clear();
            };
            while (*s != '\0') {
                if (*s == '|') {
                    flush();
                    ++s;
                    continue;
                }
                if (*s == ' ') {
                    ++s;
                    continue;
                }
                float px = 0, py = 0;
                int used = 0;
                if (std::sscanf(s, "%f,%f%n", &px, &py, &used) != 2 || used <= 0) break;
                points.push_back(px);
                points.push_back(py);
                s += used;
            }
            flush();
        }
        penX += Step(text, i) * scale;
    }
}
