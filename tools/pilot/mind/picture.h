// What the pilot makes of one frame: where the horizon lies and how it is tilted, and the
// dark or red shapes against the sky that may be the target. Only the frame's pixels go in.
#pragma once

#include <cstdint>
#include <vector>

#include "../senses.h"

namespace mind {

// Pixels a radian spans at the window's middle: the window shows some 45 degrees from its
// top to its bottom.
constexpr float FocalPixels = 579.4f;

struct Blob {
    bool found = false;
    int x = 0, y = 0;           // its middle (a pixel of it)
    int left = 0, top = 0, right = 0, bottom = 0;
    int pixels = 0;
    // Its thickness across its long axis, from the spread of its pixels: the hull's depth
    // whichever way it lies in the window, the wings banked or not.
    float thickness = 1;
    // One more pixel of it: its count and box.
    void Add(int px, int py) {
        ++pixels;
        left = px < left ? px : left;
        right = px > right ? px : right;
        top = py < top ? py : top;
        bottom = py > bottom ? py : bottom;
    }
    int Width() const { return right - left + 1; }
    int Height() const { return bottom - top + 1; }
};

struct Picture {
    // The horizon: `bank` is the tilt of the line (0 level; positive when the right wing
    // is down), `pitch` the nose's angle above it, from how far the line passes from the
    // window's middle. Not seen: all sky (skyOnly) or all ground.
    bool horizonSeen = false;
    bool skyOnly = false;
    float bank = 0, pitch = 0;
    float fit = 0;  // the share of the sky and ground patches on their own side of the line
    float voidShare = 0;  // the share of the window showing the void past the land's end
    Blob target;
};

// The shape that holds the pixel (x, y), grown over the neighbouring pixels `take`
// accepts (it marks each it takes, so that none is taken twice; the first is the caller's
// to mark); `each` sees every pixel of it once. Neighbours are the four sides, and the
// four corners too when `corners`.
template <class Take, class Each>
Blob Grow(int x, int y, bool corners, Take take, Each each, std::vector<int>& stack) {
    static const int ox[8] = {-1, 1, 0, 0, -1, 1, -1, 1}, oy[8] = {0, 0, -1, 1, -1, -1, 1, 1};
    Blob b;
    b.left = b.right = x;
    b.top = b.bottom = y;
    stack.assign(1, y * senses::Width + x);
    while (!stack.empty()) {
        const int i = stack.back();
        stack.pop_back();
        const int px = i % senses::Width, py = i / senses::Width;
        b.Add(px, py);
        each(px, py);
        for (int k = 0; k < (corners ? 8 : 4); ++k) {
            const int nx = px + ox[k], ny = py + oy[k];
            if (nx < 0 || nx >= senses::Width || ny < 0 || ny >= senses::Height || !take(nx, ny)) continue;
            stack.push_back(ny * senses::Width + nx);
        }
    }
    return b;
}

// How far below the horizon a pixel lies, across the horizon's line (positive below).
struct Horizon {
    float ux, uy, line;
    explicit Horizon(const Picture& pic);
    float Below(float x, float y) const { return line - ((x - senses::Width / 2) * ux + (y - senses::Height / 2) * uy); }
};

// The score line and the captions' corner, bottom left: not the world.
inline bool OnScoreLine(int x, int y) { return x < 124 && y >= 452; }

// The fields' greens, browns and yellows.
bool FieldColour(int r, int g, int b);

enum class Wanted { DarkShape, RedShape };

// Learns which pixels are the aircraft's own (the upper wing, the struts, the cowl, the
// guns): those that never change while the world behind them does.
class OwnAircraft {
public:
    // `wanted` counts how often each pixel looks like a target: one that mostly does is
    // part of the aircraft (the guns under the sweeping propeller).
    void Watch(const uint8_t* rgb, Wanted wanted);
    // Once the world has swung round in the window (the take-off's pull, the climb).
    bool Learned() const { return looks_ >= 100; }
    // Watched long enough that a look now and then keeps it right.
    bool Settled() const { return looks_ >= 400; }
    // Never seen in another colour.
    bool Own(int i) const { return Learned() && spread_[i] < 60; }
    // Within a few pixels of the aircraft's own shape (its edges flicker), or dark in most
    // looks, as the guns are under the sweeping propeller: never a target.
    bool Fixed(int x, int y) const;

private:
    std::vector<uint8_t> low_, high_;
    std::vector<uint16_t> spread_, dark_;
    int looks_ = 0;
};

// Where the target was a moment ago, if it was: around there it is looked for against the
// ground too (it sinks below the horizon as the aircraft closes on it from above).
struct Track {
    bool on = false;
    int x = 0, y = 0, reach = 0;
};

Picture Read(const uint8_t* rgb, OwnAircraft& own, Wanted wanted, float lastBank, const Track& track = {});

}  // namespace mind
