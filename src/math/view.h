// View and projection routines: the camera's view matrix and the perspective frustum.
#pragma once

#include "math/mat4.h"

// Rows of the 3x3 part are s, u and -f; translation -(s.eye), -(u.eye), +(f.eye).
void ViewFromBasis(Mat4& out, Vec3 eye, Vec3 f, Vec3 s, Vec3 u);

// The look-at view matrix written by LookAt; the camera takes it as the frame's view.
extern Mat4 LookAtMatrix;
void LookAt(Vec3 eye, Vec3 target, Vec3 up);

struct Frustum {
    double left, right, bottom, top, nearPlane, farPlane;
};
// 45 degree vertical field of view, near 1, far 160000.
Frustum ProjectionFrustum(float aspect);
