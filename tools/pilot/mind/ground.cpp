#include "ground.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace mind {

namespace {

constexpr int W = senses::Width, H = senses::Height;

int Grey(const uint8_t* rgb, int x, int y) {
    const uint8_t* p = rgb + 3 * (y * W + x);
    return p[0] + p[1] + p[2];
}

constexpr int Patch = 12;  // patches of 12 x 12 pixels are matched
constexpr int ReachX = 8, ReachUp = 6, ReachDown = 44;  // how far a patch may have moved

bool Clear(const OwnAircraft& own, int x, int y) {
    for (int dy = -ReachDown; dy <= Patch + ReachUp; dy += 4)
        for (int dx = -ReachX; dx <= Patch + ReachX; dx += 4) {
            int xx = x + dx, yy = y + dy;
            if (xx < 0 || yy < 0 || xx >= W || yy >= H || OnScoreLine(xx, yy)) return false;
            if (own.Own(yy * W + xx)) return false;
        }
    return true;
}

bool Pale(const uint8_t* p) {
    int hi = std::max(p[0], std::max(p[1], p[2])), lo = std::min(p[0], std::min(p[1], p[2]));
    return hi >= 110 && hi - lo <= 18;
}

}  // namespace

void OftenPale::Watch(const uint8_t* rgb) {
    if (count_.empty()) count_.assign(W * H, 0);
    for (int i = 0; i < W * H; ++i)
        if (Pale(rgb + 3 * i) && count_[i] < 65535) ++count_[i];
    if (looks_ < 60000) ++looks_;
}

Flow GroundFlow(const uint8_t* before, const Picture& beforePic, const uint8_t* now, const Picture& nowPic,
                float seconds, const OwnAircraft& own) {
    Flow flow;
    if (!beforePic.horizonSeen || !nowPic.horizonSeen || seconds <= 0 || !own.Learned()) return flow;
    // Wings near level and not rolling: the window's down is then the ground's down.
    if (std::fabs(nowPic.bank) > 0.3f || std::fabs(nowPic.bank - beforePic.bank) > 0.06f) return flow;
    const Horizon horizon(nowPic);
    // (depth below the horizon squared, the flow down the window in pixels a second)
    float points[256][2];
    int n = 0;
    for (int y = ReachUp; y + Patch + ReachDown < H && n < 256; y += 12) {
        for (int x = ReachX; x + Patch + ReachX < W && n < 256; x += 16) {
            const float d = horizon.Below(x + Patch / 2.0f, y + Patch / 2.0f);
            if (d < 16.0f || !Clear(own, x, y)) continue;
            // Only patches with something to match: a field's edge, a hedge, a furrow.
            int lo = 1 << 20, hi = 0;
            for (int j = 0; j < Patch; j += 2)
                for (int i = 0; i < Patch; i += 2) {
                    int g = Grey(now, x + i, y + j);
                    lo = std::min(lo, g);
                    hi = std::max(hi, g);
                }
            if (hi - lo < 40) continue;
            // Where the patch was in the look before: down the window is where ground goes.
            int best = 1 << 30, second = 1 << 30, bestX = 0, bestY = 0;
            static int score[ReachUp + ReachDown + 1][2 * ReachX + 1];
            for (int my = -ReachUp; my <= ReachDown; ++my) {
                for (int mx = -ReachX; mx <= ReachX; ++mx) {
                    int sad = 0;
                    for (int j = 0; j < Patch; j += 2)
                        for (int i = (j / 2) % 2; i < Patch; i += 2)
                            sad += std::abs(Grey(now, x + i, y + j) - Grey(before, x + i - mx, y + j - my));
                    score[my + ReachUp][mx + ReachX] = sad;
                    if (sad < best) {
                        second = best;
                        best = sad;
                        bestX = mx;
                        bestY = my;
                    } else if (sad < second) {
                        second = sad;
                    }
                }
            }
            // At the search's edge, or not clearly better than elsewhere (a field's furrows
            // match themselves a few pixels on): no match.
            if (bestY == -ReachUp || bestY == ReachDown || std::abs(bestX) == ReachX) continue;
            if (best > Patch * Patch / 2 * 25) continue;
            int elsewhere = 1 << 30;
            for (int my = -ReachUp; my <= ReachDown; ++my)
                for (int mx = -ReachX; mx <= ReachX; ++mx)
                    if (std::abs(my - bestY) > 2 || std::abs(mx - bestX) > 2)
                        elsewhere = std::min(elsewhere, score[my + ReachUp][mx + ReachX]);
            if (best * 10 > elsewhere * 6) continue;
            // A sub-pixel step from the scores either side.
            float a = static_cast<float>(score[bestY - 1 + ReachUp][bestX + ReachX]),
                  b = static_cast<float>(score[bestY + ReachUp][bestX + ReachX]),
                  c = static_cast<float>(score[bestY + 1 + ReachUp][bestX + ReachX]);
            float step = (a + c - 2 * b) > 0 ? std::clamp(0.5f * (a - c) / (a + c - 2 * b), -0.5f, 0.5f) : 0.0f;
            float moved = bestY + step;
            // The flow across the horizon's line, and the depth half way between the looks.
            float across = -(bestX * horizon.ux + moved * horizon.uy);
            float mid = d - 0.5f * across;
            if (mid < 8.0f) continue;
            points[n][0] = mid * mid;
            points[n][1] = across / seconds;
            ++n;
        }
    }
    // flow = swing + (d - sink) * d / (FocalPixels * secondsHigh), d the depth below the
    // horizon: the ground flows away from where the aircraft is going, `sink` below the
    // horizon when it descends, and the nose's swing moves everything alike. Fitted as
    // a + b d + c d^2 twice, the second time without the points far off the first fit.
    bool keep[256];
    std::fill(keep, keep + n, true);
    float slope = 0;
    for (int pass = 0; pass < 2; ++pass) {
        // The normal equations of the fit, over the depth in hundreds of pixels.
        double m[3][4] = {};
        int count = 0;
        float lo = 1e9f, hi = 0;
        for (int i = 0; i < n; ++i) {
            if (!keep[i]) continue;
            double d = std::sqrt(points[i][0]) / 100.0, row[3] = {1.0, d, d * d};
            for (int r = 0; r < 3; ++r) {
                for (int c = 0; c < 3; ++c) m[r][c] += row[r] * row[c];
                m[r][3] += row[r] * points[i][1];
            }
            lo = std::min(lo, points[i][0]);
            hi = std::max(hi, points[i][0]);
            ++count;
        }
        if (count < 10 || hi - lo < 8000.0f) return flow;
        // Gaussian elimination with the largest pivot.
        for (int c = 0; c < 3; ++c) {
            int best = c;
            for (int r = c + 1; r < 3; ++r)
                if (std::fabs(m[r][c]) > std::fabs(m[best][c])) best = r;
            if (std::fabs(m[best][c]) < 1e-9) return flow;
            for (int k = 0; k < 4; ++k) std::swap(m[c][k], m[best][k]);
            for (int r = 0; r < 3; ++r) {
                if (r == c) continue;
                double f = m[r][c] / m[c][c];
                for (int k = 0; k < 4; ++k) m[r][k] -= f * m[c][k];
            }
        }
        double a = m[0][3] / m[0][0], b = m[1][3] / m[1][1], c = m[2][3] / m[2][2];
        slope = static_cast<float>(c / 10000.0);
        flow.patches = count;
        if (pass == 0)
            for (int i = 0; i < n; ++i) {
                double d = std::sqrt(points[i][0]) / 100.0;
                keep[i] = std::fabs(points[i][1] - (a + b * d + c * d * d)) < 1.5 / seconds;
            }
    }
    if (slope <= 0) return flow;
    flow.known = true;
    flow.secondsHigh = 1.0f / (FocalPixels * slope);
    return flow;
}

Blob FindGroundShape(const uint8_t* rgb, const Picture& pic, const OwnAircraft& own, const OftenPale& often, int maxPixels) {
    Blob found;
    if (!pic.horizonSeen || !own.Learned()) return found;
    const Horizon horizon(pic);
    auto pale = [&](int x, int y) {
        if (OnScoreLine(x, y) || horizon.Below(float(x), float(y)) < 2.0f) return false;
        return Pale(rgb + 3 * (y * W + x)) && !often.Often(y * W + x) && !own.Fixed(x, y);
    };
    static std::vector<uint8_t> done;
    done.assign(W * H, 0);
    std::vector<int> stack;
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            if (done[y * W + x] || !pale(x, y)) continue;
            long sx = 0, sy = 0;
            done[y * W + x] = 1;
            // Touching at a corner is touching: a speck of two pixels may sit diagonally.
            Blob b = Grow(
                x, y, true,
                [&](int nx, int ny) {
                    if (done[ny * W + nx] || !pale(nx, ny)) return false;
                    done[ny * W + nx] = 1;
                    return true;
                },
                [&](int px, int py) {
                    sx += px;
                    sy += py;
                },
                stack);
            // A road's line or a village's roofs spread wide; the tank is a compact speck.
            if (b.pixels > maxPixels || b.Width() > 14 || b.Height() > 10) continue;
            if (b.pixels <= found.pixels) continue;
            // On the fields: a ring round it of their colours (not a cloud by the hills'
            // line, not a part of the own aircraft, whose wings are never all round it).
            int ring = 0, fields = 0, mine = 0;
            for (int yy = b.top - 4; yy <= b.bottom + 4; ++yy)
                for (int xx = b.left - 4; xx <= b.right + 4; ++xx) {
                    if (yy > b.top - 3 && yy < b.bottom + 3 && xx > b.left - 3 && xx < b.right + 3) continue;
                    if (xx < 0 || yy < 0 || xx >= W || yy >= H) continue;
                    ++ring;
                    const uint8_t* q = rgb + 3 * (yy * W + xx);
                    if (FieldColour(q[0], q[1], q[2])) ++fields;
                    // The roundels' blue rings: the own wings, never a field.
                    if (own.Fixed(xx, yy) || (q[2] > q[0] + 40 && q[2] > q[1] + 20)) ++mine;
                }
            if (ring == 0 || fields * 10 < ring * 8 || mine > 0) continue;
            // A caption's white letters sit on black.
            bool caption = false;
            for (int yy = std::max(0, b.top - 2); yy <= std::min(H - 1, b.bottom + 2) && !caption; ++yy)
                for (int xx = std::max(0, b.left - 2); xx <= std::min(W - 1, b.right + 2); ++xx) {
                    const uint8_t* p = rgb + 3 * (yy * W + xx);
                    if (p[0] < 8 && p[1] < 8 && p[2] < 8) { caption = true; break; }
                }
            if (caption) continue;
            b.found = true;
            b.x = static_cast<int>(sx / b.pixels);
            b.y = static_cast<int>(sy / b.pixels);
            found = b;
        }
    }
    // Its middle pixel, or the nearest of its own.
    if (found.found && !pale(found.x, found.y)) {
        int best = 1 << 30, bx = found.x, by = found.y;
        for (int yy = found.top; yy <= found.bottom; ++yy)
            for (int xx = found.left; xx <= found.right; ++xx)
                if (pale(xx, yy)) {
                    int d = (xx - found.x) * (xx - found.x) + (yy - found.y) * (yy - found.y);
                    if (d < best) { best = d; bx = xx; by = yy; }
                }
        found.x = bx;
        found.y = by;
    }
    return found;
}

}  // namespace mind
