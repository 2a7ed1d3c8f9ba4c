// The camera views: pilot, delayed pilot, target, rear and the death view.
#pragma once

#include <cstdint>

#include "math/mat4.h"

// A half turn about Y, so that a view attached to an aircraft looks along its nose.
extern const EulerAngles CameraAngles;
// The pilot's eye in the aircraft's frame.
extern const Vec3 PilotEyeOffset;
// The camera's own state.
struct CameraRig {
    Vec3 targetViewOffset = {0.0f, 4.0f, -1.0f};  // the target view's eye in the target's frame; set per mission
    Mat4 viewRing[3] = {Identity4, Identity4, Identity4};  // the last three stored views
    int32_t ringIndex = 0;  // the delayed pilot view shows the oldest
};
extern CameraRig Camera;

// Builds this frame's view matrix from CameraView into LookAtMatrix and App.camera.
void UpdateCamera();
