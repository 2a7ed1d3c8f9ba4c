#include "score.h"

#include <algorithm>

#include "../senses.h"

namespace mind {
namespace {

// The line's strip: the rows of its letters and the columns its longest text reaches.
constexpr int StripTop = 456, StripBottom = 478, StripRight = 110;

bool White(const uint8_t* rgb, int x, int y) {
    const uint8_t* p = rgb + 3 * (y * senses::Width + x);
    return p[0] > 200 && p[1] > 200 && p[2] > 200;
}

}  // namespace

uint64_t ScoreLineShape(const uint8_t* rgb) {
    uint64_t shape = 1469598103934665603ull;
    for (int y = StripTop; y < StripBottom; ++y)
        for (int x = 0; x < StripRight; ++x)
            if (White(rgb, x, y)) shape = (shape ^ static_cast<uint64_t>(y * StripRight + x)) * 1099511628211ull;
    return shape;
}

bool ScoreShowsMinus(const uint8_t* rgb) {
    // Marks are runs of columns holding white; each is judged by its width and by how far
    // its white reaches up and down. (One empty column past the strip closes the last.)
    int from = -1, top = StripBottom, bottom = -1;
    for (int x = 0; x <= StripRight; ++x) {
        int columnTop = StripBottom, columnBottom = -1;
        for (int y = StripTop; y < StripBottom && x < StripRight; ++y)
            if (White(rgb, x, y)) {
                columnTop = std::min(columnTop, y);
                columnBottom = y;
            }
        if (columnBottom >= 0) {
            if (from < 0) from = x;
            top = std::min(top, columnTop);
            bottom = std::max(bottom, columnBottom);
        } else if (from >= 0) {
            if (x - from >= 3 && bottom - top < 3) return true;
            from = -1;
            top = StripBottom;
            bottom = -1;
        }
    }
    return false;
}

}  // namespace mind
