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
    // 6.1037019e-05 is 2/32767 in single precision.
    v.x += (1.0f - static_cast<float>(Rand()) * 6.1037019e-05f) * 0.2f;
    v.y += (1.0f - static_cast<float>(Rand()) * 6.1037019e-05f) * 0.2f;
    v.z += (1.0f - static_cast<float>(Rand()) * 6.1037019e-05f) * 0.2f;
}
