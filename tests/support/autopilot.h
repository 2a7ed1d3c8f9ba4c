// A test pilot for scripted flights. Commands use FlyAircraft's conventions: turn input
// positive yaws toward the aircraft's +x side and rolls it down, pitch input positive puts
// the nose down; one unit of either is the largest step the controls give.
#pragma once

#include "math/vec3.h"
#include "sim/aircraft.h"

struct PilotCommand {
    float turn;
    float pitch;
};

// In the air: roll the aircraft's up side toward the direction and pull the nose onto it (or,
// for a direction a little below the nose, its underside and push); wings level once there.
PilotCommand SteerToward(const Aircraft& a, Vec3 direction);
// The turn input that rolls the wings toward level.
float WingsLevel(const Aircraft& a);
// Nose at the given climb angle (radians), wings as they are.
float HoldClimbAngle(const Aircraft& a, float angle);
// On the ground: yaw toward the point (the ground levels the wings again).
float TaxiToward(const Aircraft& a, Vec3 point);
// The climb angle of the nose and the height above the terrain under the aircraft.
float ClimbAngleOf(const Aircraft& a);
float ClearanceOf(const Aircraft& a);
// Feeds the command to the game through the stick (the axes are its negation).
void SetStick(PilotCommand command);
