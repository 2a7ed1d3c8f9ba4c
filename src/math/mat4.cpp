#include "math/mat4.h"

#include <cmath>

void SetIdentity(Mat4& m) { m = Identity4; }

Vec3 TransformPoint(const Mat4& m, Vec3 p) {
    return {p.x * m.m[0] + p.y * m.m[4] + p.z * m.m[8] + m.m[12],
            p.x * m.m[1] + p.y * m.m[5] + p.z * m.m[9] + m.m[13],
            p.x * m.m[2] + p.y * m.m[6] + p.z * m.m[10] + m.m[14]};
}

Vec3& TransformDirection(const Mat4& m, float x, float y, float z, Vec3& out) {
    Vec3 t = {x * m.m[0] + y * m.m[4] + z * m.m[8],
              x * m.m[1] + y * m.m[5] + z * m.m[9],
              x * m.m[2] + y * m.m[6] + z * m.m[10]};
    Normalize(t);
    out = t;
    return out;
}

Mat4& AffineMultiply(Mat4& out, Mat4 a, const Mat4& b) {
    Mat4 r;
    for (int c = 0; c < 4; ++c) {
        for (int row = 0; row < 3; ++row) {
            float s = 0.0f;
            for (int k = 0; k < 3; ++k) s += a.m[4 * k + row] * b.m[4 * c + k];
            if (c == 3) s += a.m[12 + row];
            r.m[4 * c + row] = s;
        }
    }
    r.m[3] = r.m[7] = r.m[11] = 0.0f;
    r.m[15] = 1.0f;
    out = r;
    return out;
}

namespace {

// The nine rotation entries of R(e) = Ry(e1) Rx(e0) Rz(e2), written into elements 0-2,
// 4-6, 8-10 of out.
void EulerRotation(const EulerAngles& e, float* out) {
    float c0 = std::cos(e.x), s0 = std::sin(e.x);
    float c1 = std::cos(e.y), s1 = std::sin(e.y);
    float c2 = std::cos(e.z), s2 = std::sin(e.z);
    out[0] = s2 * s1 * s0 + c2 * c1;
    out[1] = s2 * c0;
    out[2] = s2 * c1 * s0 - c2 * s1;
    out[4] = c2 * s1 * s0 - s2 * c1;
    out[5] = c2 * c0;
    out[6] = c2 * c1 * s0 + s2 * s1;
    out[8] = s1 * c0;
    out[9] = -s0;
    out[10] = c0 * c1;
}

void NormalizeColumn(Mat4& m, int c) {
    float* p = &m.m[4 * c];
    float len = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
    if (len == 0.0f) return;
    p[0] /= len;
    p[1] /= len;
    p[2] /= len;
}

}  // namespace

void EulerMatrix(const EulerAngles& e, Mat4& out, Vec3 pos) {
    EulerRotation(e, out.m);
    out.m[3] = out.m[7] = out.m[11] = 0.0f;
    out.m[12] = pos.x;
    out.m[13] = pos.y;
    out.m[14] = pos.z;
    out.m[15] = 1.0f;
}

void PlacementMatrix(Mat4& out, float sx, float sy, float sz, const EulerAngles& e, Vec3 pos) {
    EulerMatrix(e, out, pos);
    ScaleAxes(out, sx, sy, sz);
}

void RotateLocal(Mat4& m, const EulerAngles& e) {
    float r[16];
    EulerRotation(e, r);
    float old[12];
    for (int i = 0; i < 12; ++i) old[i] = m.m[i];
    // New axis column j = sum over k of R[k][j] * old column k, with R[k][j] = r[4j + k].
    for (int j = 0; j < 3; ++j) {
        for (int row = 0; row < 3; ++row) {
            float s = 0.0f;
            for (int k = 0; k < 3; ++k) s += r[4 * j + k] * old[4 * k + row];
            m.m[4 * j + row] = s;
        }
    }
}

void ScaleAxes(Mat4& m, float sx, float sy, float sz) {
    for (int i = 0; i < 3; ++i) {
        m.m[i] *= sx;
        m.m[4 + i] *= sy;
        m.m[8 + i] *= sz;
    }
}

void SetTilt(Mat4& m) {
    EulerRotation({-1.57f, 0.0f, 0.0f}, m.m);
    m.m[3] = m.m[7] = m.m[11] = 0.0f;
}

void BlendMatrices(Mat4& m, const Mat4& b, float t) {
    for (int i = 0; i < 16; ++i) m.m[i] = m.m[i] * (1.0f - t) + b.m[i] * t;
    NormalizeColumn(m, 0);
    NormalizeColumn(m, 1);
    NormalizeColumn(m, 2);
}

namespace {
void WriteFrame(Mat4& out, Vec3 c0, Vec3 c1, Vec3 c2, Vec3 p) {
    out.m[0] = c0.x; out.m[1] = c0.y; out.m[2] = c0.z; out.m[3] = 0.0f;
    out.m[4] = c1.x; out.m[5] = c1.y; out.m[6] = c1.z; out.m[7] = 0.0f;
    out.m[8] = c2.x; out.m[9] = c2.y; out.m[10] = c2.z; out.m[11] = 0.0f;
    out.m[12] = p.x; out.m[13] = p.y; out.m[14] = p.z; out.m[15] = 1.0f;
}
}  // namespace

void FrameFromAxes(Vec3 a, Vec3 b, Vec3 c, Vec3 p, Mat4& out) { WriteFrame(out, -a, b, c, p); }

void FrameFromForwardUp(Vec3 up, Vec3 fwd, Vec3 p, Mat4& out) {
    Vec3 side = Cross(up, fwd);
    WriteFrame(out, side, Cross(fwd, side), fwd, p);
}

void AimAt(Mat4& out, Vec3 scale, Vec3 eye, Vec3 target, Vec3 up) {
    Vec3 f = target - eye;
    Normalize(f);
    Vec3 u = Cross(Cross(f, up), f);
    FrameFromForwardUp(u * scale.y, f * scale.z, eye, out);
}

void AxisRotationStep(Mat4& out, float x, float y, float z) {
    const float h = -0.0345f;
    float w = std::cos(h), s = std::sin(h);
    float qx = x * s, qy = y * s, qz = z * s;
    out.m[0] = 1.0f - 2.0f * (qz * qz + qy * qy);
    out.m[1] = 2.0f * (qx * qy - w * qz);
    out.m[2] = 2.0f * (w * qy + qx * qz);
    out.m[4] = 2.0f * (w * qz + qx * qy);
    out.m[5] = 1.0f - 2.0f * (qz * qz + qx * qx);
    out.m[6] = 2.0f * (qy * qz - w * qx);
    out.m[8] = 2.0f * (qx * qz - w * qy);
    out.m[9] = 2.0f * (w * qx + qy * qz);
    out.m[10] = 1.0f - 2.0f * (qx * qx + qy * qy);
    out.m[3] = out.m[7] = out.m[11] = 0.0f;
    out.m[12] = out.m[13] = out.m[14] = 0.0f;
    out.m[15] = 1.0f;
}

void Minor3(const Mat4& m, int row, int col, Mat3& out) {
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) out.m[3 * i + j] = m.m[4 * (i + (i >= col)) + j + (j >= row)];
}

float Determinant3(const Mat3& a) {
    const float* p = a.m;
    return p[0] * (p[4] * p[8] - p[5] * p[7]) - p[1] * (p[3] * p[8] - p[5] * p[6]) +
           p[2] * (p[3] * p[7] - p[4] * p[6]);
}

float Determinant4(const Mat4& m) {
    float d = 0.0f;
    Mat3 minor;
    for (int r = 0; r < 4; ++r) {
        Minor3(m, r, 0, minor);
        float term = m.m[r] * Determinant3(minor);
        d += (r % 2 == 0) ? term : -term;
    }
    return d;
}

void Invert4(Mat4& m) {
    float d = Determinant4(m);
    Mat4 result;
    Mat3 minor;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            Minor3(m, j, i, minor);
            float v = Determinant3(minor) / d;
            result.m[4 * j + i] = ((i + j) % 2 == 0) ? v : -v;
        }
    }
    m = result;
}
