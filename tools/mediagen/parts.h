// Shapes the models share beyond the basic solids of mesh.h, and texture-atlas helpers.
#pragma once

#include <vector>

#include "mesh.h"

// The texture rect of the pixel block [x0, x1) x [y0, y1) of a width x height atlas, kept
// half a pixel inside so filtering never reaches a neighbouring block.
UvRect AtlasRect(int x0, int y0, int x1, int y1, int width, int height);
// The centre of that block: a part painted in one flat colour.
UvRect AtlasCell(int x0, int y0, int x1, int y1, int width, int height);

// A quad with its own texture coordinates, turned so that its front faces `outward`.
void AddQuadFacing(Mesh& mesh, const Vec3 (&p)[4], const float (&uv)[4][2], Vec3 outward);

// A flat plate: the convex outline (either winding) thickened by halfThickness on both
// sides of the plane whose normal is given. The two faces take faceUv spread over the
// outline's extent along uAxis and vAxis (v grows against vAxis, so vAxis is "up" in the
// picture); the rims take edgeUv.
void AddSlab(Mesh& mesh, const std::vector<Vec3>& outline, Vec3 normal, float halfThickness, UvRect faceUv,
             Vec3 uAxis, Vec3 vAxis, UvRect edgeUv);

// A thin round rod (struts, guns, axles).
void AddRod(Mesh& mesh, Vec3 a, Vec3 b, float radius, UvRect uv);
