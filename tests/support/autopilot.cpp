#include "support/autopilot.h"

#include <cmath>

#include "core/game_app.h"
#include "sim/flight_model.h"

namespace {
float Clamp1(float v) { return v < -1.0f ? -1.0f : (v > 1.0f ? 1.0f : v); }
}  // namespace

float ClimbAngleOf(const Aircraft& a) {
    float s = a.placement[9];
    return std::asin(s < -1.0f ? -1.0f : (s > 1.0f ? 1.0f : s));
}

float ClearanceOf(const Aircraft& a) {
    return -TerrainGap(a, a.position.x, a.position.y, a.position.z);
}

PilotCommand SteerToward(const Aircraft& a, Vec3 direction) {
    Vec3 right = MatrixColumn(a.placement, 0), up = MatrixColumn(a.placement, 1);
    Vec3 forward = MatrixColumn(a.placement, 2);
    float dx = Dot(direction, right), dy = Dot(direction, up), dz = Dot(direction, forward);
    float offNose = std::atan2(std::sqrt(dx * dx + dy * dy), dz);
    // Each unit of turn input also yaws the nose 0.025 rad: close to the nose, roll gently
    // or the yaw carries the nose round and round the direction.
    float gentle = std::fmin(1.0f, offNose / 0.25f);
    PilotCommand c;
    if (offNose < 0.02f) {
        c.turn = 0.0f;  // on the nose: nothing to roll for
        c.pitch = Clamp1(-5.0f * std::atan2(dy, dz));
    } else if (dy < 0.0f && offNose < 0.5f) {
        // A little below the nose: roll the aircraft's underside toward it and push (a roll
        // step of +beta turns the down axis by beta toward +x).
        float beta = std::atan2(dx, -dy);
        c.turn = Clamp1(-5.0f * beta) * gentle;
        c.pitch = std::fabs(beta) < 0.6f ? Clamp1(5.0f * std::atan2(-dy, dz)) : 0.0f;
    } else {
        // Roll the up side toward it (a roll step of -alpha turns the up axis by alpha
        // toward +x), then pull.
        float alpha = std::atan2(dx, dy);
        c.turn = Clamp1(5.0f * alpha) * gentle;
        c.pitch = std::fabs(alpha) < 0.6f ? Clamp1(-5.0f * std::atan2(dy, dz)) : 0.0f;
    }
    return c;
}

float WingsLevel(const Aircraft& a) {
    // A roll step adds to the bank angle atan2(right.y, up.y); one unit of turn input rolls
    // by -0.1.
    return Clamp1(2.0f * std::atan2(a.placement[1], a.placement[5]));
}

float HoldClimbAngle(const Aircraft& a, float angle) { return Clamp1((ClimbAngleOf(a) - angle) / 0.1f); }

float TaxiToward(const Aircraft& a, Vec3 point) {
    Vec3 d = point - a.position;
    float dx = Dot(d, MatrixColumn(a.placement, 0)), dz = Dot(d, MatrixColumn(a.placement, 2));
    return Clamp1(std::atan2(dx, dz) / 0.025f * 0.5f);
}

void SetStick(PilotCommand command) {
    App.controls.stickX = -command.turn;
    App.controls.stickY = -command.pitch;
}
