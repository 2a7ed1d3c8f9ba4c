// Everything that flies: the flight state, aerodynamic surfaces, landing gear, a burst of
// up to six shots and a trail of up to ten smoke puffs.
//
// The simulation works per step (one per drawn frame): positions advance by the velocity
// once per step, rotations by per-step angles. Frame time enters only through timeStep
// (frame seconds * 0.01), which every timer here counts down: 0.001 lasts 0.1 s.
#pragma once

#include <cstdint>

#include "assets/model.h"
#include "math/mat4.h"

struct AeroSurface {
    float length;
    float width;  // force factor = length * width
    Vec3 normal;  // world-space unit normal, recomputed every step
};

constexpr int MaxShots = 6;
constexpr int MaxSmokePuffs = 10;

struct Aircraft {
    Model* terrain = nullptr;  // the mesh TerrainGap searches
    AeroSurface wing{6, 6, {0, 1, 0}};
    AeroSurface frontPlate{2, 2, {0, 0, 1}};
    AeroSurface bodyPlate{1, 1, {0, 1, 0}};
    AeroSurface finPlate{4, 4, {1, 0, 0}};
    AeroSurface tailPlate{4, 4, {0, 1, 0}};
    // Model space: tail skid, left wheel, right wheel.
    Vec3 contactPoints[3] = {{0, -0.5f, -3.1f}, {-0.6f, -1.1f, 2.1f}, {0.6f, -1.1f, 2.1f}};
    Vec3 netForce{};
    Vec3 upAxis{0, 1, 0};
    Vec3 rightAxis{1, 0, 0};
    Vec3 forwardAxis{0, 0, 1};
    Vec3 airflow{};  // unit vector opposite to the velocity
    Vec3 gravityForce{};
    float liftForce = 0;
    float thrustForce = 0;
    float finForce = 0;
    float tailForce = 0;
    float frontForce = 0;
    Vec3 shotVelocity[MaxShots]{};       // displacement of each shot per step
    Vec3 smokeVelocity[MaxSmokePuffs]{}; // displacement of each puff per step
    float slipAngleDeg = 0;
    float weight = 50.0f;
    float thrust = 0;
    float mass = 5.09684f;  // 50 / 9.81
    float attackAngle = 0;  // radians
    float groundGap = 0;    // terrain height under the aircraft minus its height
    float speed = 0;
    float thrustRate = 0;   // +-13.88888 or 0 per step
    float timeStep = 0.05f; // frame time * 0.01
    float gravity = 9.81f;
    float shotTimer = 0;    // in timeStep units
    float smokeTimer = 0;
    float rollStep = 0;     // radians about own Z this step
    float thrustCommand = 0;
    float yawStep = 0;      // radians about own Y this step
    Vec3 velocity{};        // world units per step
    Vec3 position{};
    Mat4 placement = Identity4;
    Vec3 shotPositions[MaxShots]{};
    Mat4 shotMatrices[MaxShots] = {Identity4, Identity4, Identity4, Identity4, Identity4, Identity4};
    Vec3 smokePositions[MaxSmokePuffs]{};
    Vec3 smokeAxis[MaxSmokePuffs]{};  // random per puff, components in [-1, 1]
    float smokeScale[MaxSmokePuffs]{};
    float pitchStep = 0;    // radians about own X this step
    int32_t shotCount = 0;  // shots spawned in the current burst, 0..6
    int32_t smokeCount = 0; // puffs emitted, 0..11
    bool firing = false;
    bool destroyed = false;
    bool crashed = false;
};

extern Aircraft PlayerPlane;
extern Aircraft EnemyPlane;

// Back to the start of a mission: identity placement at the origin, at rest, with no burst,
// no smoke and no damage, flying over the game's terrain. Thrust, timers and surfaces keep
// their values; the caller then places the aircraft.
void ResetAircraft(Aircraft& aircraft);
// Arms a burst of six shots; false (and nothing changes) while a burst is in flight.
bool StartBurst(Aircraft& aircraft);
// Shoots the aircraft down: it starts smoking. False when it already was.
bool Destroy(Aircraft& aircraft);
// One step of the burst: moves the shots and spawns the next one when its time has come.
void UpdateShots(Aircraft& aircraft);
// One step of the smoke trail while destroyed; clears destroyed when the trail is over.
void UpdateSmoke(Aircraft& aircraft);
// Whether one of the burst's shots is within about 22.4 units of point.
bool ShotsHit(const Aircraft& aircraft, Vec3 point);
// For an aircraft that is not flown (the gun of the zeppelin or tank): one step of its
// smoke and shots only.
void UpdateGunOnly(Aircraft& aircraft);
