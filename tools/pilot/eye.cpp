#include "eye.h"

#include <cmath>

#include "core/game_app.h"
#include "sim/world.h"
#include "math/mat4.h"
#include "math/view.h"
#include "sim/aircraft.h"
#include "sim/flight_model.h"

namespace {

// Smaller than this (pixels across) an object is lost in the picture.
constexpr float SeenSize = 2.0f;
// The mixer's audible range (the game's AudibleRange).
constexpr float HearingRange = 7500.0f;
// The hangar's floor ring and the strip's ends, in the world (the game places the hangar
// at (7600, 630, 6470) and the strip along x = 7800 from z 6010 to 6990).
constexpr float BaseHeight = 630.0f;

Vec3 EyeUp() {
    const Mat4& v = App.camera;
    return {v.m[4], v.m[5], v.m[6]};
}

Heard Listen(Vec3 source) {
    // As the mixer pans a voice: the listener at the player, facing along its nose.
    Heard h;
    const Aircraft& p = PlayerPlane;
    Vec3 d = source - p.position;
    float dist = Length(d);
    if (dist >= HearingRange) return h;
    h.heard = true;
    h.loudness = std::round((HearingRange - dist) / HearingRange * 10.0f) / 10.0f;
    float flat = std::sqrt(d.x * d.x + d.z * d.z);
    if (flat == 0.0f) return h;
    Vec3 f = MatrixColumn(p.placement, 2);
    float ahead = (f.x * d.x + f.z * d.z) / flat;
    float side = (f.x * d.z - f.z * d.x) / flat;
    h.behind = ahead < -0.3f;  // the muffling is heard once it is marked
    // The mixer gives the right channel the full volume when this side is >= 0 (the
    // aircraft's -x side, on the right of the pilot's view).
    if (std::fabs(side) > 0.1f) h.side = side >= 0.0f ? 1 : -1;
    return h;
}

}  // namespace

float FocalPixels() {
    Frustum f = ProjectionFrustum(static_cast<float>(ScreenWidth) / ScreenHeight);
    return 0.5f * ScreenHeight / static_cast<float>(f.top);
}

Spot Project(Vec3 world, float radius) {
    Spot s;
    Vec3 e = TransformPoint(App.camera, world);
    if (e.z > -1.0f) return s;  // behind the near plane
    float f = FocalPixels();
    float px = 0.5f * ScreenWidth + f * e.x / -e.z;
    float py = 0.5f * ScreenHeight - f * e.y / -e.z;
    if (!(std::fabs(px) < 1.0e6f) || !(std::fabs(py) < 1.0e6f)) return s;
    s.x = static_cast<int>(std::lround(px));
    s.y = static_cast<int>(std::lround(py));
    s.size = 2.0f * radius * f / Length(e);
    s.seen = s.x >= 0 && s.x < ScreenWidth && s.y >= 0 && s.y < ScreenHeight && s.size >= SeenSize;
    return s;
}

Vec3 PixelDirection(int x, int y) {
    float f = FocalPixels();
    Vec3 d = {(x - 0.5f * ScreenWidth) / f, (0.5f * ScreenHeight - y) / f, -1.0f};
    Normalize(d);
    return d;
}

namespace {

// The eye-space up the horizon line shows: its normal (toward the sky) on the screen and
// its distance from the middle give the world's up back.
Vec3 UpFromHorizon(const Sight& s) {
    float c = std::cos(s.pitch), n = std::sin(s.pitch);
    // Sky direction on the screen (-sin bank, cos bank); the nose's pitch tips it toward
    // the viewer.
    return {-std::sin(s.bank) * c, std::cos(s.bank) * c, -n};
}

}  // namespace

float ElevationOf(const Sight& s, Vec3 d) {
    float e = Dot(d, UpFromHorizon(s)) / Length(d);
    return std::asin(e < -1.0f ? -1.0f : (e > 1.0f ? 1.0f : e));
}

float BearingOf(const Sight& s, Vec3 d) {
    Vec3 up = UpFromHorizon(s);
    Vec3 flat = d - up * Dot(d, up);
    Vec3 nose = Vec3{0, 0, -1} - up * Dot(Vec3{0, 0, -1}, up);
    Vec3 right = Cross(nose, up);  // eye space is right-handed: forward x up = right
    return std::atan2(Dot(flat, right), Dot(flat, nose));
}

Vec3 DirectionAt(const Sight& s, float bearing, float elevation) {
    Vec3 up = UpFromHorizon(s);
    Vec3 nose = Vec3{0, 0, -1} - up * Dot(Vec3{0, 0, -1}, up);
    Normalize(nose);
    Vec3 right = Cross(nose, up);
    Vec3 flat = nose * std::cos(bearing) + right * std::sin(bearing);
    return flat * std::cos(elevation) + up * std::sin(elevation);
}

Sight Look(float heightJudgement, float lastBank) {
    Sight s;
    const Aircraft& p = PlayerPlane;
    float f = FocalPixels();

    // The horizon line X u.x + Y u.y = f u.z (X right, Y up from the middle, in pixels).
    Vec3 u = EyeUp();
    float n = std::sqrt(u.x * u.x + u.y * u.y);
    if (n > 1.0e-4f) {
        float nx = u.x / n, ny = u.y / n;
        float distance = std::round(f * u.z / n);  // pixels from the middle, whole
        float reach = std::fabs(nx) * 0.5f * ScreenWidth + std::fabs(ny) * 0.5f * ScreenHeight;
        s.horizonSeen = std::fabs(distance) < reach;
        if (s.horizonSeen) {
            // The tilt as a person reads it: to a pixel over the window's width.
            float tilt = std::atan2(-nx, ny);
            s.bank = std::round(tilt * ScreenWidth) / ScreenWidth;
            s.pitch = std::atan(-distance / f);
        }
    }
    if (!s.horizonSeen) {
        // Only sky or only ground in the window.
        s.pitch = u.z < 0.0f ? 0.6f : -0.6f;
        s.bank = lastBank;
    }

    float clearance = -TerrainGap(p, p.position.x, p.position.y, p.position.z);
    s.height = std::round(clearance * heightJudgement / 10.0f) * 10.0f;
    bool inside = std::fabs(p.position.x) < 25000.0f && std::fabs(p.position.z) < 25000.0f;
    s.onGround = inside && clearance < 1.5f;
    Vec3 nose = MatrixColumn(p.placement, 2);
    Vec3 ahead = p.position + Vec3{nose.x, 0.0f, nose.z} * 6000.0f;
    s.edgeAhead = std::fabs(ahead.x) > 21000.0f || std::fabs(ahead.z) > 21000.0f;

    const ArrayModel& z = ZeppelinModel;
    if (z.visible != 0) {
        Vec3 at = MatrixTranslation(z.matrix);
        s.zeppelin = Project(at, std::sqrt(z.radiusSquared));
        s.zeppelinFalling = z.visible == 2;
        if (s.zeppelin.seen) s.zeppelinElevation = ElevationOf(s, PixelDirection(s.zeppelin.x, s.zeppelin.y));
        s.zeppelinEngine = Listen(at);
    }
    Vec3 hangar = MatrixTranslation(HangarModel.matrix);
    s.hangar = Project(hangar, 4.0f);
    s.runwaySouth = Project({7800.0f, BaseHeight, 6010.0f}, 30.0f);
    s.runwayNorth = Project({7800.0f, BaseHeight, 6990.0f}, 30.0f);
    s.siren = Listen(hangar);
    // A tracer is a bright streak some 4 units long.
    if (p.firing) {
        s.shotCount = p.shotCount;
        for (int i = 0; i < p.shotCount && i < MaxShots; ++i) s.shots[i] = Project(p.shotPositions[i], 2.0f);
    }
    return s;
}
