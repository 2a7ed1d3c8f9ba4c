#include "sim/flight_model.h"

#include <algorithm>
#include <cmath>

namespace {

// The terrain is a grid of 50 x 50 cells of 1000 x 1000 units from -25000 to +25000 in x
// and z; cell (row, column) owns faces 2 * (row * 50 + column) and the one after it.
constexpr int TerrainCells = 50;

// Surfaces nearly edge-on to the airflow give no force.
constexpr float DeadZone = 0.017f;
constexpr float HalfPi = 1.570795f;

// Lift coefficient: rises linearly to 1.2 at 14 degrees, holds to 16 degrees, then falls
// back to zero by about 28 degrees (stall).
constexpr float MaxLiftAngle = 0.2443461f;    // 14 degrees
constexpr float StallAngle = 0.27925268f;     // 16 degrees
constexpr float MaxLift = 1.2f;
constexpr float LiftSlope = 4.0925555f;       // 1 / MaxLiftAngle

// Below this speed (units per step) the body plate drops the nose.
constexpr float NoseDropSpeed = 16.7f;

float Clamp1(float c) { return c < -1.0f ? -1.0f : (c > 1.0f ? 1.0f : c); }

bool IsZero(Vec3 v) { return v.x == 0.0f && v.y == 0.0f && v.z == 0.0f; }

}  // namespace

float TerrainGap(const Aircraft& aircraft, float x, float y, float z) {
    const Model* terrain = aircraft.terrain;
    if (terrain == nullptr || terrain->faces == nullptr || terrain->vertices == nullptr) return 0.0f;
    float rowF = std::floor(z * 0.001f + 25.0f);
    float columnF = std::floor(x * 0.001f + 25.0f);
    // Far outside (or not a number): no cell. Keeps the integer conversion defined.
    if (!(std::fabs(rowF) < 1.0e6f) || !(std::fabs(columnF) < 1.0e6f)) return 0.0f;
    // Only the combined index is bounded: a column outside 0..49 reads a cell of a
    // neighbouring row, as the terrain always did.
    long long k = (static_cast<long long>(rowF) * TerrainCells + static_cast<long long>(columnF)) * 2;
    // The ground is the grid's faces only: faces after them are drawn, never stood on,
    // even where an index beyond the grid would reach them.
    const long long gridFaces = std::min<long long>(terrain->faceCount, 2LL * TerrainCells * TerrainCells);
    if (k < 0 || k >= gridFaces) return 0.0f;

    const Vec3 p = {x, y, z};
    float t = 0.0f;
    // Face k, then k + 1; the last face's plane answers when neither contains the point.
    // A cell whose second face lies beyond the mesh is answered by its first.
    for (long long f = k; f <= k + 1 && f < gridFaces; ++f) {
        const Face& face = terrain->faces[f];
        if (face.a >= terrain->vertexCount || face.b >= terrain->vertexCount ||
            face.c >= terrain->vertexCount)
            continue;
        Vec3 v0 = terrain->vertices[face.a].position;
        Vec3 e1 = terrain->vertices[face.b].position - v0;
        Vec3 e2 = terrain->vertices[face.c].position - v0;
        Vec3 n = Cross(e1, e2);
        if (n.y == 0.0f) continue;  // a vertical face has no height
        t = -Dot(p - v0, n) / n.y;
        Vec3 q = {p.x, p.y + t, p.z};
        Vec3 w = q - v0;
        float d11 = Dot(e1, e1), d12 = Dot(e1, e2), d22 = Dot(e2, e2);
        float w1 = Dot(w, e1), w2 = Dot(w, e2);
        float inv = 1.0f / (d12 * d12 - d22 * d11);
        float u = (w2 * d12 - w1 * d22) * inv;
        float v = (w1 * d12 - d11 * w2) * inv;
        if (u > 0.0f && v > 0.0f && u + v < 1.0f) break;
    }
    return t;
}

void SpinShotDown(Aircraft& aircraft) {
    aircraft.thrustCommand = 0.0f;
    aircraft.yawStep = -0.05f;
    aircraft.rollStep = -0.05f;
    aircraft.pitchStep = -0.05f;
    UpdateSmoke(aircraft);
}

void FlyAircraft(Aircraft& aircraft, float frameTime, float turnInput, float pitchInput, float throttle) {
    if (aircraft.destroyed) {
        SpinShotDown(aircraft);
    } else {
        aircraft.thrustCommand = throttle * 125.0f;
        aircraft.yawStep = turnInput * 0.025f;
        aircraft.rollStep = turnInput * -0.1f;
        aircraft.pitchStep = pitchInput * 0.1f;
    }
    StepAircraft(aircraft, frameTime);
}

void StepAircraft(Aircraft& aircraft, float frameTime) {
    aircraft.timeStep = frameTime * 0.01f;
    ComputeForces(aircraft);
    MoveAircraft(aircraft);
    UpdateShots(aircraft);
}

float SurfaceFactor(const Aircraft& aircraft, const AeroSurface& surface) {
    float c = Dot(aircraft.airflow, surface.normal);
    if (std::fabs(c) < DeadZone) return 0.0f;
    return surface.length * surface.width * c;
}

float WingLift(Aircraft& aircraft, float density) {
    if (IsZero(aircraft.velocity)) return 0.0f;
    float c = Clamp1(Dot(aircraft.airflow, aircraft.wing.normal));
    aircraft.attackAngle = std::acos(c) - HalfPi;
    float k = SurfaceFactor(aircraft, aircraft.wing);
    float a = std::fabs(aircraft.attackAngle);
    float cl;
    if (a < MaxLiftAngle) {
        cl = a * MaxLift * LiftSlope;
    } else if (a <= StallAngle) {
        cl = MaxLift;
    } else {
        cl = (2.0f * MaxLiftAngle - a) * MaxLift * LiftSlope;
        if (cl < 0.0f) cl = 0.0f;
    }
    return aircraft.speed * aircraft.speed * cl * k * density * 0.5f;
}

float NoseDrop(Aircraft& aircraft, float density) {
    if (IsZero(aircraft.velocity) || aircraft.speed > NoseDropSpeed) return 0.0f;
    float k = SurfaceFactor(aircraft, aircraft.bodyPlate);
    float c = Clamp1(Dot(aircraft.airflow, aircraft.bodyPlate.normal));
    float b = std::acos(c) - HalfPi;
    aircraft.slipAngleDeg = b * 180.0f * 0.31831014f;
    if (std::fabs(aircraft.slipAngleDeg) < 0.2f) return 0.0f;
    float m = (aircraft.speed * aircraft.speed * k * density * 0.5f) / (50.0f / aircraft.gravity) *
              aircraft.timeStep;
    if (std::fabs(m) <= std::fabs(5.0f * std::tan(b))) return std::atan(0.2f * m);
    return m > 0.0f ? b : -b;
}

void ComputeForces(Aircraft& a) {
    // Engine ramp toward the command; it is not clamped there, so the thrust may step past
    // the command and then alternate around it.
    if (a.thrustCommand < a.thrust) {
        a.thrustRate = -ThrustRamp;
    } else if (a.thrustCommand > a.thrust) {
        a.thrustRate = ThrustRamp;
    } else {
        a.thrustRate = 0.0f;
    }
    if (a.thrust < 0.0f) {
        a.thrustRate = 0.0f;
        a.thrust = 0.0f;
    }

    // Airborne the gap is negative: the "density" grows with the height above the terrain.
    a.groundGap = TerrainGap(a, a.position.x, a.position.y, a.position.z);
    float density = 1.0f - a.groundGap * 0.0001f;
    if (density < 0.0f) density = 0.0f;

    a.airflow = -a.velocity;
    Normalize(a.airflow);

    a.liftForce = WingLift(a, density);
    a.pitchStep += NoseDrop(a, density);

    // Height factors: normal flight (and anything not deep below the surface) takes the
    // last branch.
    float d, f, g;
    if (a.groundGap > 5.0f) {
        d = density;
        f = 1.0f;
        g = 1.0f;
    } else if (a.groundGap > 1.0f) {
        d = 2.0f;
        f = 1.0f;
        g = 1.0f;
    } else {
        d = 2.0f;
        f = 1.5f;
        g = 22.5f;
    }
    // speed is still the previous step's.
    float speed2 = a.speed * a.speed;
    a.frontForce = SurfaceFactor(a, a.frontPlate) * speed2 * f * d * 0.025f;
    a.finForce = SurfaceFactor(a, a.finPlate) * speed2 * g * d * 0.1f;
    a.tailForce = SurfaceFactor(a, a.tailPlate) * speed2 * d * 0.1f;
    a.thrustForce = a.destroyed ? 0.0f : d * a.thrust;

    a.thrust += a.thrustRate;

    a.gravityForce = {0.0f, a.weight * -8.0f, 0.0f};
    Vec3 right = MatrixColumn(a.placement, 0);
    Vec3 up = MatrixColumn(a.placement, 1);
    Vec3 forward = MatrixColumn(a.placement, 2);
    a.netForce = right * a.finForce + up * (a.liftForce + a.tailForce) +
                 forward * (a.thrustForce + a.frontForce) + a.gravityForce;
}

void MoveAircraft(Aircraft& a) {
    a.position = a.position + a.velocity;
    RotateLocal(a.placement, {a.pitchStep, a.yawStep, a.rollStep});
    SetTranslation(a.placement, a.position);
    GroundContact(a);
    a.speed = Length(a.velocity);

    // The wing's normal leans 0.069 rad toward the nose.
    Mat4 tilt;
    AxisRotationStep(tilt, a.rightAxis.x, a.rightAxis.y, a.rightAxis.z);
    Vec3 wingNormal;
    TransformDirection(tilt, a.upAxis.x, a.upAxis.y, a.upAxis.z, wingNormal);
    const Mat4& p = a.placement;
    TransformDirection(p, wingNormal.x, wingNormal.y, wingNormal.z, a.wing.normal);
    TransformDirection(p, a.forwardAxis.x, a.forwardAxis.y, a.forwardAxis.z, a.frontPlate.normal);
    TransformDirection(p, a.upAxis.x, a.upAxis.y, a.upAxis.z, a.bodyPlate.normal);
    TransformDirection(p, a.rightAxis.x, a.rightAxis.y, a.rightAxis.z, a.finPlate.normal);
    TransformDirection(p, a.upAxis.x, a.upAxis.y, a.upAxis.z, a.tailPlate.normal);
}

void GroundContact(Aircraft& a) {
    Vec3 tail = TransformPoint(a.placement, a.contactPoints[0]);
    Vec3 left = TransformPoint(a.placement, a.contactPoints[1]);
    Vec3 right = TransformPoint(a.placement, a.contactPoints[2]);
    float gT = TerrainGap(a, tail.x, tail.y, tail.z);
    float gL = TerrainGap(a, left.x, left.y, left.z);
    float gR = TerrainGap(a, right.x, right.y, right.z);

    float damping;
    if (!(gT > 0.0f) && !(gL > 0.0f) && !(gR > 0.0f)) {
        damping = 1.0f - a.timeStep * 32.0f;  // in the air (touching counts as not below)
    } else {
        // Lift by the mean gap and sit the aircraft on its wheels and tail skid, aligned
        // with the terrain under them.
        a.position.y += (gT + gL + gR) / 3.0f;
        Vec3 groundTail = tail + Vec3{0.0f, gT, 0.0f};
        Vec3 groundLeft = left + Vec3{0.0f, gL, 0.0f};
        Vec3 groundRight = right + Vec3{0.0f, gR, 0.0f};
        Vec3 forward = (groundLeft + groundRight) * 0.5f - groundTail;
        Normalize(forward);
        Vec3 side = groundLeft - groundRight;
        Normalize(side);
        Vec3 up = Cross(side, forward);
        Normalize(up);
        Vec3 rightAxis = Cross(up, forward);
        Normalize(rightAxis);
        // FrameFromAxes negates its first axis; handing it -right keeps the frame
        // right-handed (column 0 = up x forward, as in every other placement). With right
        // itself the frame would be mirrored, and the next touch-down would find the
        // wheels swapped and the up axis pointing down: a crash on the second contact.
        FrameFromAxes(-rightAxis, up, forward, a.position, a.placement);
        if (up.y < 0.0f || a.destroyed) a.crashed = true;
        damping = 1.0f - a.timeStep * 128.0f;
    }
    a.velocity = a.velocity * damping + a.netForce * (a.timeStep / a.mass);
}
