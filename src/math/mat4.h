// Column-major 4x4 matrices in exactly the layout glLoadMatrixf takes: element 4*c + r
// holds row r of column c. Columns 0, 1, 2 are a frame's X (right), Y (up) and Z
// (forward) axes; elements 12..14 its position.
#pragma once

#include "math/vec3.h"

struct Mat4 {
    float m[16];
    float& operator[](int i) { return m[i]; }
    float operator[](int i) const { return m[i]; }
};

// Nine floats, column-major (element 3*c + r); only used by the determinant and inverse.
struct Mat3 {
    float m[9];
};

constexpr Mat4 Identity4 = {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};
inline Mat4 IdentityMatrix() { return Identity4; }
void SetIdentity(Mat4& m);
inline Vec3 MatrixColumn(const Mat4& m, int c) { return {m.m[4 * c], m.m[4 * c + 1], m.m[4 * c + 2]}; }
inline Vec3 MatrixTranslation(const Mat4& m) { return {m.m[12], m.m[13], m.m[14]}; }
inline void SetTranslation(Mat4& m, Vec3 p) { m.m[12] = p.x; m.m[13] = p.y; m.m[14] = p.z; }
// p as a point: x*col0 + y*col1 + z*col2 + translation.
Vec3 TransformPoint(const Mat4& m, Vec3 p);

// x*col0 + y*col1 + z*col2 (translation ignored), normalised unless its length is 0.
Vec3& TransformDirection(const Mat4& m, float x, float y, float z, Vec3& out);

// out = a * b, both taken as affine (bottom rows never read). a is taken by copy so out
// may alias either argument.
Mat4& AffineMultiply(Mat4& out, Mat4 a, const Mat4& b);
// Rotation R(e) = Ry(e1) Rx(e0) Rz(e2) with translation pos.
void EulerMatrix(const EulerAngles& e, Mat4& out, Vec3 pos);
// out = T(pos) * R(e) * S(sx, sy, sz).
void PlacementMatrix(Mat4& out, float sx, float sy, float sz, const EulerAngles& e, Vec3 pos);
// m = m * R(e) for the 3x3 part: a turn about the frame's own axes.
void RotateLocal(Mat4& m, const EulerAngles& e);
void ScaleAxes(Mat4& m, float sx, float sy, float sz);
// Axes become a rotation of -1.57 rad about X; translation kept.
void SetTilt(Mat4& m);
// m = m*(1-t) + b*t per element, then each axis column renormalised (unless zero length).
void BlendMatrices(Mat4& m, const Mat4& b, float t);
// Columns -a, b, c; translation p.
void FrameFromAxes(Vec3 a, Vec3 b, Vec3 c, Vec3 p, Mat4& out);
// Columns up x fwd, fwd x (up x fwd), fwd; translation p. Nothing normalised.
void FrameFromForwardUp(Vec3 up, Vec3 fwd, Vec3 p, Mat4& out);
// Turns a frame at eye toward target (sx unused).
void AimAt(Mat4& out, Vec3 scale, Vec3 eye, Vec3 target, Vec3 up);
// Rotation of +0.069 rad about the unit axis (x, y, z).
void AxisRotationStep(Mat4& out, float x, float y, float z);
void Minor3(const Mat4& m, int row, int col, Mat3& out);
float Determinant3(const Mat3& a);
float Determinant4(const Mat4& m);
// Adjugate over determinant; the determinant is not tested (only rigid or scaled-rigid
// transforms reach it).
void Invert4(Mat4& m);
