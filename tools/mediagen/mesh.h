// Triangle meshes built from simple solids, written as .a3f model files.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "math/mat4.h"

struct MeshVertex {
    Vec3 position;
    Vec3 normal;
    float u, v;
    int bone;  // index of the one bone that carries the vertex (weight 1)
};

struct MeshFace {
    uint32_t a, b, c;
};

// A rectangle of a texture in texture coordinates; v = 0 is the image's top row. A rect
// whose corners coincide paints a part in one flat colour of a palette texture.
struct UvRect {
    float u0, v0, u1, v1;
};

inline UvRect UvPoint(float u, float v) { return {u, v, u, v}; }

struct Mesh {
    std::vector<MeshVertex> vertices;
    std::vector<MeshFace> faces;
    int bone = 0;  // bone given to the vertices added from now on
};

uint32_t AddVertex(Mesh& mesh, Vec3 position, Vec3 normal, float u, float v);
void AddFace(Mesh& mesh, uint32_t a, uint32_t b, uint32_t c);

// A flat quad p0 p1 p2 p3, counter-clockwise seen from its front, with the given outward
// normal. Seen from the front with p0 bottom-left and p2 top-right the texture rect shows
// upright: p0 gets (u0, v1), p1 (u1, v1), p2 (u1, v0), p3 (u0, v0).
void AddQuad(Mesh& mesh, Vec3 p0, Vec3 p1, Vec3 p2, Vec3 p3, Vec3 normal, UvRect uv);
// The same with the normal taken from the corners.
void AddFlatQuad(Mesh& mesh, Vec3 p0, Vec3 p1, Vec3 p2, Vec3 p3, UvRect uv);
// A flat triangle, counter-clockwise seen from its front; uvs as the first three quad corners.
void AddFlatTriangle(Mesh& mesh, Vec3 p0, Vec3 p1, Vec3 p2, UvRect uv);

// The six texture rects of a box: -x, +x, -y, +y, -z, +z faces.
struct BoxUv {
    UvRect face[6];
};
inline BoxUv SameUv(UvRect uv) { return {{uv, uv, uv, uv, uv, uv}}; }

// Axis-aligned box, every face outward. Side faces show their texture upright (+y up).
void AddBox(Mesh& mesh, Vec3 min, Vec3 max, const BoxUv& uv);
inline void AddBox(Mesh& mesh, Vec3 min, Vec3 max, UvRect uv) { AddBox(mesh, min, max, SameUv(uv)); }

// A round, smooth-sided rod from a to b with radii ra and rb, closed by flat caps when
// caps is set. u runs around, v along.
void AddTube(Mesh& mesh, Vec3 a, Vec3 b, float ra, float rb, int sides, bool caps, UvRect uv);

// A surface of revolution about the z axis through (0, yCentre): profile points (z, r)
// from tail to nose, smooth normals; radius 0 at an end closes it. Cross-sections are
// ellipses scaled by yScale vertically. u runs around (starting at the top, toward +x),
// v along z from the first profile point to the last.
void AddLathe(Mesh& mesh, const std::vector<std::pair<float, float>>& profile, int sides,
              float yCentre, float yScale, UvRect uv);

// Moves vertices from `first` on by m: positions as points, normals by its rotation.
void TransformVertices(Mesh& mesh, size_t first, const Mat4& m);

// Rotation about y by angle (radians) then translation: the placement of a part.
Mat4 TurnY(float angle, Vec3 position);
Mat4 TurnZ(float angle, Vec3 position);
Mat4 TurnX(float angle, Vec3 position);

// A model's single material.
struct Material {
    std::string name;
    float ambient[4];
    float diffuse[4];
    float specular[4];
    float emission[4];
    unsigned shininess;
    std::string textureFile;  // empty: untextured
    std::string alpha;        // the ALPHA word
};

// A white, textured material: a textured model's diffuse colour multiplies its texture.
Material TexturedMaterial(const std::string& name, const std::string& textureFile,
                          const std::string& alpha = "NONE");

struct BoneEntry {
    std::string name;
    std::string parent;  // "NONE" for the root
    Mat4 matrix;         // the offset: inverse of the bone's rest transform
    float grams;
};

struct AnimFrameEntry {
    std::string bone;
    Mat4 matrix;  // the bone's pose relative to its parent
};

struct AnimKeyEntry {
    float time;
    std::vector<AnimFrameEntry> frames;
};

struct AnimationEntry {
    std::string name;
    float length;
    std::vector<AnimKeyEntry> keys;
};

struct Skeleton {
    std::vector<BoneEntry> bones;  // vertex weights come from MeshVertex::bone
    std::vector<AnimationEntry> animations;
};

// The .a3f text of a model; skeleton may be null for a static model.
std::string FormatA3f(const Mesh& mesh, const Material& material, const std::string& comment,
                      const Skeleton* skeleton);

// Number formatting of the model files: fixed point, trailing zeros dropped.
std::string FormatNumber(float value);
