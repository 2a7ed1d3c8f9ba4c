#include "math/view.h"

#include <cmath>

Mat4 LookAtMatrix = Identity4;

void ViewFromBasis(Mat4& out, Vec3 eye, Vec3 f, Vec3 s, Vec3 u) {
    out.m[0] = s.x; out.m[4] = s.y; out.m[8] = s.z;
    out.m[1] = u.x; out.m[5] = u.y; out.m[9] = u.z;
    out.m[2] = -f.x; out.m[6] = -f.y; out.m[10] = -f.z;
    out.m[3] = out.m[7] = out.m[11] = 0.0f;
    out.m[12] = -Dot(s, eye);
    out.m[13] = -Dot(u, eye);
    out.m[14] = Dot(f, eye);
    out.m[15] = 1.0f;
}

void LookAt(Vec3 eye, Vec3 target, Vec3 up) {
    Vec3 f = target - eye;
    Normalize(f);
    Vec3 s = Cross(f, up);
    Vec3 u = Cross(s, f);
    ViewFromBasis(LookAtMatrix, eye, f, s, u);
}

Frustum ProjectionFrustum(float aspect) {
    // Half the vertical field of view of 45 degrees, in radians.
    const float t = std::tan(0.39269876480102545f);
    Frustum f;
    f.left = -aspect * t;
    f.right = aspect * t;
    f.bottom = -t;
    f.top = t;
    f.nearPlane = 1.0;
    f.farPlane = 160000.0;
    return f;
}

