// The camera views: pilot, delayed pilot, target, rear and the death view.
#pragma once

#include <cstdint>

#include "math/mat4.h"

// A half turn about Y, so that a view attached to an aircraft looks along its nose.
extern const EulerAngles CameraAngles;
// The pilot's eye in the aircraft's frame.
extern const Vec3 PilotEyeOffset;
// The target view's eye in the target's frame; set per mission.
extern Vec3 TargetViewOffset;
// The last three stored views; the delayed pilot view shows the oldest.
extern Mat4 ViewRing[3];
extern int32_t ViewRingIndex;

// Builds this frame's view matrix from CameraView into LookAtMatrix and App.camera.
void UpdateCamera();
