// Three-float vectors shared by the simulation, animation, audio and drawing.
#pragma once

struct Vec3 {
    float x, y, z;
};

// Radians: e0 about X, e1 about Y, e2 about Z; composed as Ry(e1) * Rx(e0) * Rz(e2).
using EulerAngles = Vec3;

inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator-(Vec3 a) { return {-a.x, -a.y, -a.z}; }
inline Vec3 operator*(Vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline Vec3 operator*(float s, Vec3 a) { return {a.x * s, a.y * s, a.z * s}; }
inline float Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
// Right-handed cross product.
inline Vec3 Cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float Length(Vec3 v);

// Length tests compare with exactly 0: a zero-length vector is left unchanged, never
// replaced by a default direction.
void Normalize(Vec3& v);
Vec3& NormalizedCopy(const Vec3& in, Vec3& out);
// Moves each component (x, then y, then z; one random draw each) by a uniform amount
// in [-0.2, +0.2].
void Jitter(Vec3& v);
