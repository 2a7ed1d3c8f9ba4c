// The flight model: controls become rotation steps, flat-plate aerodynamics and an engine
// ramp become a net force, the aircraft moves, turns and, where its wheels or tail skid
// are below the terrain, is set down on the ground.
//
// It works per step: rotations and the move by the velocity happen once per step; only the
// force integration and the damping use timeStep (frame seconds * 0.01).
#pragma once

#include "sim/aircraft.h"

// The terrain height below (x, z) minus y: positive when the point is below the surface,
// 0 outside the terrain. Only the aircraft's terrain link is used.
float TerrainGap(const Aircraft& aircraft, float x, float y, float z);

// The player's step. turnInput and pitchInput are in [-1, 1] (positive pitch puts the nose
// down), throttle 0..9.
void FlyAircraft(Aircraft& aircraft, float frameTime, float turnInput, float pitchInput, float throttle);

// A shot-down aircraft's controls: no engine, a fixed spin about all three own axes, and
// smoke until the trail ends. The player's and the enemy pilot's steps both fall so.
void SpinShotDown(Aircraft& aircraft);

// The rest of a step once the controls are set: timeStep from the frame's seconds, the
// forces, the move, the shots.
void StepAircraft(Aircraft& aircraft, float frameTime);

// The two stages of a step, in this order.
void ComputeForces(Aircraft& aircraft);
void MoveAircraft(Aircraft& aircraft);

// Pieces of the two stages.
float WingLift(Aircraft& aircraft, float density);
float NoseDrop(Aircraft& aircraft, float density);
float SurfaceFactor(const Aircraft& aircraft, const AeroSurface& surface);
void GroundContact(Aircraft& aircraft);

// Engine thrust change per step while the thrust ramps toward the command.
constexpr float ThrustRamp = 13.88888f;
