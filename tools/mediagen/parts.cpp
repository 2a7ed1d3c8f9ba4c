#include "parts.h"

#include <algorithm>
#include <cmath>

UvRect AtlasRect(int x0, int y0, int x1, int y1, int width, int height) {
    float w = static_cast<float>(width), h = static_cast<float>(height);
    return {(x0 + 0.5f) / w, (y0 + 0.5f) / h, (x1 - 0.5f) / w, (y1 - 0.5f) / h};
}

UvRect AtlasCell(int x0, int y0, int x1, int y1, int width, int height) {
    return UvPoint((x0 + x1) * 0.5f / width, (y0 + y1) * 0.5f / height);
}

void AddQuadFacing(Mesh& mesh, const Vec3 (&p)[4], const float (&uv)[4][2], Vec3 outward) {
    Vec3 n = Cross(p[2] - p[0], p[3] - p[1]);
    Normalize(n);
    int order[4] = {0, 1, 2, 3};
    if (Dot(n, outward) < 0.0f) {
        order[1] = 3;
        order[3] = 1;
        n = -n;
    }
    uint32_t first = 0;
    for (int i = 0; i < 4; ++i) {
        uint32_t index = AddVertex(mesh, p[order[i]], n, uv[order[i]][0], uv[order[i]][1]);
        if (i == 0) first = index;
    }
    AddFace(mesh, first, first + 1, first + 2);
    AddFace(mesh, first, first + 2, first + 3);
}

void AddSlab(Mesh& mesh, const std::vector<Vec3>& given, Vec3 normal, float halfThickness, UvRect faceUv,
             Vec3 uAxis, Vec3 vAxis, UvRect edgeUv) {
    size_t n = given.size();
    if (n < 3) return;
    // Wind the outline counter-clockwise seen from the normal's side, whichever way it came.
    Vec3 area = {0, 0, 0};
    for (size_t i = 0; i < n; ++i) area = area + Cross(given[i], given[(i + 1) % n]);
    std::vector<Vec3> outline = given;
    if (Dot(area, normal) < 0.0f) std::reverse(outline.begin(), outline.end());
    float uMin = 1e30f, uMax = -1e30f, vMin = 1e30f, vMax = -1e30f;
    for (const Vec3& p : outline) {
        uMin = std::min(uMin, Dot(p, uAxis));
        uMax = std::max(uMax, Dot(p, uAxis));
        vMin = std::min(vMin, Dot(p, vAxis));
        vMax = std::max(vMax, Dot(p, vAxis));
    }
    auto uvOf = [&](const Vec3& p, float& u, float& v) {
        float s = uMax > uMin ? (Dot(p, uAxis) - uMin) / (uMax - uMin) : 0.5f;
        float t = vMax > vMin ? (Dot(p, vAxis) - vMin) / (vMax - vMin) : 0.5f;
        u = faceUv.u0 + (faceUv.u1 - faceUv.u0) * s;
        v = faceUv.v1 + (faceUv.v0 - faceUv.v1) * t;
    };
    Vec3 offset = normal * halfThickness;
    // Front face (toward normal): the outline as given; back face: reversed.
    for (int side = 0; side < 2; ++side) {
        Vec3 shift = side == 0 ? offset : -offset;
        Vec3 faceNormal = side == 0 ? normal : -normal;
        uint32_t first = static_cast<uint32_t>(mesh.vertices.size());
        for (const Vec3& p : outline) {
            float u, v;
            uvOf(p, u, v);
            AddVertex(mesh, p + shift, faceNormal, u, v);
        }
        for (size_t i = 1; i + 1 < n; ++i) {
            if (side == 0)
                AddFace(mesh, first, first + static_cast<uint32_t>(i), first + static_cast<uint32_t>(i + 1));
            else
                AddFace(mesh, first, first + static_cast<uint32_t>(i + 1), first + static_cast<uint32_t>(i));
        }
    }
    // Rims: each edge of the outline, facing away from the outline's centre.
    Vec3 centre = {0, 0, 0};
    for (const Vec3& p : outline) centre = centre + p;
    centre = centre * (1.0f / static_cast<float>(n));
    for (size_t i = 0; i < n; ++i) {
        Vec3 a = outline[i], b = outline[(i + 1) % n];
        Vec3 mid = (a + b) * 0.5f;
        Vec3 out = mid - centre;
        out = out - normal * Dot(out, normal);
        const Vec3 quad[4] = {a - offset, b - offset, b + offset, a + offset};
        const float uv[4][2] = {{edgeUv.u0, edgeUv.v1}, {edgeUv.u1, edgeUv.v1}, {edgeUv.u1, edgeUv.v0},
                                {edgeUv.u0, edgeUv.v0}};
        AddQuadFacing(mesh, quad, uv, out);
    }
}

void AddRod(Mesh& mesh, Vec3 a, Vec3 b, float radius, UvRect uv) { AddTube(mesh, a, b, radius, radius, 6, true, uv); }
