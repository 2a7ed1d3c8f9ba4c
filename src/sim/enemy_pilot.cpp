#include "sim/enemy_pilot.h"

#include <cmath>

#include "core/game_app.h"
#include "sim/flight_model.h"

void PilotAircraft(Aircraft& aircraft, Vec3 target) {
    if (aircraft.destroyed) {
        SpinShotDown(aircraft);
    } else {
        Vec3 d = target - aircraft.position;
        // Thrust command and firing range in one: 400 close by, 800 from 3200 units out.
        float c = Length(d) * 0.25f;
        if (c < 400.0f) c = 400.0f;
        if (c > 800.0f) c = 800.0f;

        Vec3 right = MatrixColumn(aircraft.placement, 0);
        Vec3 up = MatrixColumn(aircraft.placement, 1);
        Vec3 forward = MatrixColumn(aircraft.placement, 2);
        // A placement that drifted a hair past unit length must not give NaN.
        float sinA = -forward.y;
        if (sinA > 1.0f) sinA = 1.0f;
        if (sinA < -1.0f) sinA = -1.0f;
        float a = std::asin(sinA);
        float r, b;
        if (std::cos(a) > 0.0001f) {
            r = std::atan2(right.y, up.y);
            b = std::atan2(forward.x, forward.z);
        } else {
            r = std::atan2(-up.y, right.x);
            b = 0.0f;
        }

        // Pitch compares b (the heading angle), not the climb angle a.
        float p;
        if (d.y >= -50.0f) {
            p = b > -0.2f ? -0.2f : 0.0f;
        } else {
            p = b < 0.2f ? 0.05f : 0.0f;
        }

        // Turn compares the climb angle a with the bearing of the target.
        float e = a - std::atan2(d.x, d.z);
        float t = e >= 0.0f ? -0.25f : 0.25f;

        if (std::fabs(e) < 0.1f && c < 500.0f && std::fabs(d.y) < 100.0f) StartBurst(aircraft);

        if (r > 0.2f) {
            aircraft.rollStep = -0.02f;
        } else if (r < -0.2f) {
            aircraft.rollStep = 0.02f;
        } else {
            aircraft.rollStep = 0.0f;
        }
        aircraft.thrustCommand = c;
        aircraft.yawStep = t * 0.025f;
        aircraft.pitchStep = p * 0.1f;
    }
    StepAircraft(aircraft, FrameDt);
}
