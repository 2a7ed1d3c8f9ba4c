#include "picture.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace mind {

namespace {

constexpr int W = senses::Width, H = senses::Height;
constexpr int Cell = 4;  // the horizon is read from patches of 4 x 4 pixels
constexpr int CW = W / Cell, CH = H / Cell;
constexpr float Pi = 3.14159265f;

// Sky: blue, or the pale grey-white of clouds. Ground: the greens, browns and yellows of
// the fields. Anything else (dark, grey) is neither.
// The dark blue-green of the void past the land's end.
bool VoidColour(int r, int g, int b) { return std::max(r, std::max(g, b)) < 60 && g > r + 10 && b > r + 10; }

enum Kind { Unknown = 0, Sky = 1, Ground = 2 };
Kind KindOf(int r, int g, int b) {
    if (b >= std::max(r, g) - 6 && std::max(r, std::max(g, b)) > 140) return Sky;
    if (FieldColour(r, g, b)) return Ground;
    // The dark void past the land's edge lies below, as the ground does.
    if (VoidColour(r, g, b)) return Ground;
    return Unknown;
}

bool Dark(int r, int g, int b) {
    int hi = std::max(r, std::max(g, b)), lo = std::min(r, std::min(g, b));
    bool voidColour = g > r + 12 && b > r + 12;  // the dark blue-green past the land's end
    return hi < 150 && hi - lo < 30 && !voidColour;
}
bool Red(int r, int g, int b) { return r > 120 && g < r / 2 && b < r / 2; }

// Pure black, as only the captions' ground is.
bool Black(const uint8_t* p) { return p[0] < 8 && p[1] < 8 && p[2] < 8; }

bool Caption(const uint8_t* rgb, const Blob& b) {
    int black = 0;
    for (int y = std::max(0, b.top - 3); y <= std::min(H - 1, b.bottom + 3); ++y)
        for (int x = std::max(0, b.left - 3); x <= std::min(W - 1, b.right + 3); ++x)
            if (Black(rgb + 3 * (y * W + x))) ++black;
    return black > 6;
}

}  // namespace

Horizon::Horizon(const Picture& pic)
    : ux(-std::sin(pic.bank)), uy(-std::cos(pic.bank)), line(-std::tan(pic.pitch) * FocalPixels) {}

bool FieldColour(int r, int g, int b) {
    int hi = std::max(r, std::max(g, b)), lo = std::min(r, std::min(g, b));
    return (g > b + 12 || r > b + 12) && hi - lo > 20;
}

void OwnAircraft::Watch(const uint8_t* rgb, Wanted wanted) {
    if (low_.empty()) {
        low_.assign(rgb, rgb + senses::FrameBytes);
        high_.assign(rgb, rgb + senses::FrameBytes);
        spread_.assign(W * H, 0);
        if (dark_.empty()) dark_.assign(W * H, 0);
    }
    for (int i = 0; i < W * H; ++i) {
        int spread = 0;
        for (int c = 0; c < 3; ++c) {
            uint8_t v = rgb[3 * i + c];
            if (v < low_[3 * i + c]) low_[3 * i + c] = v;
            if (v > high_[3 * i + c]) high_[3 * i + c] = v;
            spread += high_[3 * i + c] - low_[3 * i + c];
        }
        spread_[i] = static_cast<uint16_t>(spread);
        const uint8_t* p = rgb + 3 * i;
        if ((wanted == Wanted::DarkShape ? Dark(p[0], p[1], p[2]) : Red(p[0], p[1], p[2])) && dark_[i] < 65535) ++dark_[i];
    }
    if (looks_ < 60000) ++looks_;
}

bool OwnAircraft::Fixed(int x, int y) const {
    if (!Learned()) return true;
    if (dark_[y * W + x] * 4 > looks_) return true;
    for (int dy = -3; dy <= 3; dy += 3)
        for (int dx = -3; dx <= 3; dx += 3) {
            int xx = std::clamp(x + dx, 0, W - 1), yy = std::clamp(y + dy, 0, H - 1);
            if (Own(yy * W + xx)) return true;
        }
    return false;
}

Picture Read(const uint8_t* rgb, OwnAircraft& own, Wanted wanted, float lastBank, const Track& track) {
    Picture pic;
    pic.bank = lastBank;
    // The patches: sky or ground by the majority of their world pixels.
    static int kind[CW * CH];
    int skyCount = 0, groundCount = 0;
    for (int cy = 0; cy < CH; ++cy) {
        for (int cx = 0; cx < CW; ++cx) {
            // Every second pixel each way is enough to tell sky from ground.
            int votes[3] = {0, 0, 0};
            for (int dy = 0; dy < Cell; dy += 2) {
                for (int dx = 0; dx < Cell; dx += 2) {
                    int x = cx * Cell + dx, y = cy * Cell + dy, i = y * W + x;
                    if (own.Own(i) || OnScoreLine(x, y)) continue;
                    const uint8_t* p = rgb + 3 * i;
                    ++votes[KindOf(p[0], p[1], p[2])];
                }
            }
            int k = Unknown;
            if (votes[Sky] >= 3) k = Sky;
            else if (votes[Ground] >= 3) k = Ground;
            kind[cy * CW + cx] = k;
            if (k == Sky) ++skyCount;
            if (k == Ground) ++groundCount;
        }
    }
    const int total = skyCount + groundCount;
    // The line that best puts the sky on one side and the ground on the other: for each
    // tilt, the offset along the screen's "up" that leaves the fewest patches astray.
    constexpr int Bins = 400;
    constexpr float BinPixels = 4.0f;
    float bestScore = -1, bestAngle = 0, bestOffset = 0;
    auto tryAngle = [&](float angle) {
        float ux = std::sin(angle), uy = -std::cos(angle);
        static int sky[Bins], ground[Bins];
        std::fill(sky, sky + Bins, 0);
        std::fill(ground, ground + Bins, 0);
        for (int cy = 0; cy < CH; ++cy) {
            for (int cx = 0; cx < CW; ++cx) {
                int k = kind[cy * CW + cx];
                if (k == Unknown) continue;
                float s = (cx * Cell + 2 - W / 2) * ux + (cy * Cell + 2 - H / 2) * uy;
                int b = std::clamp(static_cast<int>(s / BinPixels) + Bins / 2, 0, Bins - 1);
                (k == Sky ? sky : ground)[b] += 1;
            }
        }
        // Below the threshold ground is right, above it sky.
        int groundBelow = 0, skyAbove = skyCount;
        for (int b = 0; b < Bins; ++b) {
            float score = static_cast<float>(groundBelow + skyAbove);
            if (score > bestScore) {
                bestScore = score;
                bestAngle = angle;
                bestOffset = (b - Bins / 2) * BinPixels;
            }
            groundBelow += ground[b];
            skyAbove -= sky[b];
        }
    };
    if (total > 50 && skyCount >= 8 && groundCount >= 8) {
        for (int a = 0; a < 72; ++a) tryAngle(a * 2 * Pi / 72);
        float coarse = bestAngle;
        for (int a = -5; a <= 5; ++a) tryAngle(coarse + a * Pi / 180);
        pic.fit = bestScore / total;
        // The line must run across the window, not past it.
        if (pic.fit > 0.8f && std::fabs(bestOffset) < 0.5f * std::hypot(float(W), float(H))) {
            pic.horizonSeen = true;
            // The sky leans left when the right wing goes down.
            float bank = -bestAngle;
            while (bank > Pi) bank -= 2 * Pi;
            while (bank < -Pi) bank += 2 * Pi;
            pic.bank = bank;
            pic.pitch = -std::atan(bestOffset / FocalPixels);
        }
    }
    if (!pic.horizonSeen) pic.skyOnly = skyCount >= groundCount;

    // The target: the largest dark (or red) shape on the sky's side of the line, or just
    // below it, at least 2 x 2 pixels.
    static std::vector<int> label;
    label.assign(W * H, 0);
    const Horizon horizon(pic);
    auto candidate = [&](int x, int y) {
        int i = y * W + x;
        if (OnScoreLine(x, y)) return false;
        const uint8_t* p = rgb + 3 * i;
        const bool tracked = track.on && std::abs(x - track.x) <= track.reach && std::abs(y - track.y) <= track.reach;
        bool dark = wanted == Wanted::DarkShape ? Dark(p[0], p[1], p[2]) : Red(p[0], p[1], p[2]);
        if (!dark || own.Fixed(x, y)) return false;
        if (pic.horizonSeen && !tracked && horizon.Below(float(x), float(y)) > 24.0f) return false;
        return pic.horizonSeen || pic.skyOnly;
    };
    // What is dark in most looks stays where it is on the screen: the aircraft's own.
    int voidPixels = 0;
    for (int i = 0; i < W * H; ++i) {
        const uint8_t* p = rgb + 3 * i;
        if (VoidColour(p[0], p[1], p[2])) ++voidPixels;
    }
    pic.voidShare = static_cast<float>(voidPixels) / (W * H);
    std::vector<int> stack;
    int next = 1;
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            if (label[y * W + x] != 0 || !candidate(x, y)) continue;
            long sx = 0, sy = 0;
            double sxx = 0, syy = 0, sxy = 0;
            label[y * W + x] = next;
            Blob b = Grow(
                x, y, false,
                [&](int nx, int ny) {
                    if (label[ny * W + nx] != 0 || !candidate(nx, ny)) return false;
                    label[ny * W + nx] = next;
                    return true;
                },
                [&](int px, int py) {
                    sx += px;
                    sy += py;
                    sxx += double(px) * px;
                    syy += double(py) * py;
                    sxy += double(px) * py;
                },
                stack);
            ++next;
            // Very large dark areas are shadowed ground or the void, not a target.
            if (b.Width() < 2 || b.Height() < 2 || b.pixels < 4 || b.Width() > 320 || b.Height() > 160) continue;
            // The captions of what is said are white on black: a person reads them, they are
            // not in the sky.
            if (Caption(rgb, b)) continue;
            if (b.pixels > pic.target.pixels) {
                b.found = true;
                {
                    double n = b.pixels, mx = sx / n, my = sy / n;
                    double vxx = sxx / n - mx * mx, vyy = syy / n - my * my, vxy = sxy / n - mx * my;
                    // The lesser spread of the two axes; a filled ellipse spans four times
                    // its square root across.
                    double half = 0.5 * (vxx + vyy), root = std::sqrt(std::max(0.0, 0.25 * (vxx - vyy) * (vxx - vyy) + vxy * vxy));
                    b.thickness = static_cast<float>(std::max(1.0, 4.0 * std::sqrt(std::max(0.0, half - root))));
                }
                // The pixel of the shape nearest its middle.
                int mx = static_cast<int>(sx / b.pixels), my = static_cast<int>(sy / b.pixels);
                b.x = mx;
                b.y = my;
                if (label[my * W + mx] != next - 1) {
                    int best = 1 << 30;
                    for (int yy = b.top; yy <= b.bottom; ++yy)
                        for (int xx = b.left; xx <= b.right; ++xx)
                            if (label[yy * W + xx] == next - 1) {
                                int d = (xx - mx) * (xx - mx) + (yy - my) * (yy - my);
                                if (d < best) { best = d; b.x = xx; b.y = yy; }
                            }
                }
                pic.target = b;
            }
        }
    }
    return pic;
}

}  // namespace mind
