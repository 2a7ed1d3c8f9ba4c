#include "sim/aircraft.h"

#include "core/game_app.h"
#include "sim/world.h"
#include "math/random.h"

namespace {

// Time between two shots of a burst, and the pause after the sixth (timeStep units).
constexpr float ShotInterval = 0.001f;
constexpr float BurstPause = 0.005f;
// Shots closer than this squared distance hit (a sphere of about 22.4 units).
constexpr float HitRadiusSquared = 500.0f;

}  // namespace

void ResetAircraft(Aircraft& aircraft) {
    aircraft.placement = Identity4;
    aircraft.velocity = {0, 0, 0};
    aircraft.position = {0, 0, 0};
    aircraft.shotCount = 0;
    aircraft.smokeCount = 0;
    aircraft.firing = false;
    aircraft.destroyed = false;
    aircraft.crashed = false;
    aircraft.terrain = &TerrainModel;
}

bool StartBurst(Aircraft& aircraft) {
    if (aircraft.firing) return false;
    aircraft.shotCount = 0;
    aircraft.shotTimer = 0;
    aircraft.firing = true;
    return true;
}

bool Destroy(Aircraft& aircraft) {
    if (aircraft.destroyed) return false;
    aircraft.smokeCount = 0;
    aircraft.smokeTimer = 0;
    aircraft.destroyed = true;
    return true;
}

void UpdateShots(Aircraft& aircraft) {
    if (!aircraft.firing) return;
    for (int i = 0; i < aircraft.shotCount; ++i)
        aircraft.shotPositions[i] = aircraft.shotPositions[i] + aircraft.shotVelocity[i];

    // The timer must fall below zero: at 0.03 s frames (timeStep 0.0003) an interval of
    // 0.001 takes four steps.
    aircraft.shotTimer -= aircraft.timeStep;
    if (aircraft.shotTimer >= 0) return;
    aircraft.shotTimer = ShotInterval;

    if (aircraft.shotCount >= MaxShots) {
        aircraft.firing = false;  // the pause after the sixth shot is over
        return;
    }
    const Mat4& p = aircraft.placement;
    Vec3 up = MatrixColumn(p, 1);
    Vec3 forward = MatrixColumn(p, 2);
    int i = aircraft.shotCount;
    aircraft.shotPositions[i] = aircraft.position + up * 0.6f + forward * 10.0f;
    aircraft.shotVelocity[i] = aircraft.velocity + forward * 10.0f;
    aircraft.shotMatrices[i] = p;
    SetTranslation(aircraft.shotMatrices[i], {0, 0, 0});
    aircraft.shotCount += 1;
    if (aircraft.shotCount == MaxShots) aircraft.shotTimer = BurstPause;
}

void UpdateSmoke(Aircraft& aircraft) {
    if (!aircraft.destroyed) return;
    const float ts = aircraft.timeStep;
    // Older puffs swell less as the trail grows.
    for (int i = 0; i < aircraft.smokeCount && i < MaxSmokePuffs; ++i) {
        aircraft.smokeScale[i] *= 1.0f + static_cast<float>(10 - aircraft.smokeCount) * ts * 40.0f;
        aircraft.smokePositions[i] = aircraft.smokePositions[i] + aircraft.smokeVelocity[i];
        aircraft.smokeVelocity[i] = aircraft.smokeVelocity[i] * (1.0f - ts);
    }

    aircraft.smokeTimer -= ts;
    if (aircraft.smokeTimer >= 0) return;
    // 0.25 s to 0.5 s of frame time to the next puff.
    aircraft.smokeTimer = 0.0025f + static_cast<float>(Rand()) * 0.0025f / 32767.0f;

    if (aircraft.smokeCount < MaxSmokePuffs) {
        int i = aircraft.smokeCount;
        aircraft.smokePositions[i] = aircraft.position;
        aircraft.smokeScale[i] = 1.0f;
        aircraft.smokeAxis[i].z = RandSigned();
        aircraft.smokeAxis[i].y = RandSigned();
        aircraft.smokeAxis[i].x = RandSigned();
        aircraft.smokeVelocity[i] = aircraft.velocity;
        if (aircraft.smokeCount == MaxSmokePuffs - 1) {
            aircraft.smokeCount = MaxSmokePuffs;
            aircraft.smokeTimer *= 20.0f;  // the trail holds still for 5 s to 10 s
        } else {
            aircraft.smokeCount += 1;
        }
    } else {
        // The trail is over; a pilot whose aircraft has not reached the ground takes over.
        aircraft.destroyed = false;
        aircraft.smokeCount += 1;
    }
}

bool ShotsHit(const Aircraft& aircraft, Vec3 point) {
    if (!aircraft.firing) return false;
    for (int i = 0; i < aircraft.shotCount && i < MaxShots; ++i) {
        Vec3 d = aircraft.shotPositions[i] - point;
        if (Dot(d, d) < HitRadiusSquared) return true;
    }
    return false;
}

void UpdateGunOnly(Aircraft& aircraft) {
    if (!aircraft.firing && !aircraft.destroyed) return;
    aircraft.timeStep = FrameDt * 0.01f;
    aircraft.position = MatrixTranslation(aircraft.placement);
    UpdateSmoke(aircraft);
    UpdateShots(aircraft);
}
