#include "math/vec3.h"

#include <cmath>

#include "math/random.h"

float Length(Vec3 v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

void Normalize(Vec3& v) {
    float len = Length(v);
    if (len == 0.0f) return;
    v.x /= len;
    v.y /= len;
    v.z /= len;
}

Vec3& NormalizedCopy(const Vec3& in, Vec3& out) {
    out = in;
    Normalize(out);
    return out;
}

void Jitter(Vec3& v) {
    v.x += RandSigned() * 0.2f;
    v.y += RandSigned() * 0.2f;
    v.z += RandSigned() * 0.2f;
}
