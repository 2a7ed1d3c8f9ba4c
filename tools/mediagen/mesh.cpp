#include "mesh.h"

#include <cmath>
#include <cstdio>

namespace {

Vec3 Normalised(Vec3 v) {
    Normalize(v);
    return v;
}

// Two unit vectors e1, e2 with e1 x e2 = d, for a unit axis d.
void PerpendicularBasis(Vec3 d, Vec3& e1, Vec3& e2) {
    Vec3 helper = std::fabs(d.y) < 0.9f ? Vec3{0, 1, 0} : Vec3{1, 0, 0};
    e1 = Normalised(Cross(helper, d));
    e2 = Cross(d, e1);
}

float Lerp(float a, float b, float t) { return a + (b - a) * t; }

void AppendMatrix(std::string& out, const Mat4& m) {
    for (int i = 0; i < 16; ++i) {
        out += ' ';
        out += FormatNumber(m.m[i]);
    }
}

}  // namespace

std::string FormatNumber(float value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.5f", static_cast<double>(value));
    std::string s = text;
    size_t dot = s.find('.');
    if (dot != std::string::npos) {
        while (s.back() == '0') s.pop_back();
        if (s.back() == '.') s.pop_back();
    }
    if (s == "-0") s = "0";
    return s;
}

uint32_t AddVertex(Mesh& mesh, Vec3 position, Vec3 normal, float u, float v) {
    mesh.vertices.push_back({position, normal, u, v, mesh.bone});
    return static_cast<uint32_t>(mesh.vertices.size() - 1);
}

void AddFace(Mesh& mesh, uint32_t a, uint32_t b, uint32_t c) { mesh.faces.push_back({a, b, c}); }

void AddQuad(Mesh& mesh, Vec3 p0, Vec3 p1, Vec3 p2, Vec3 p3, Vec3 normal, UvRect uv) {
    uint32_t a = AddVertex(mesh, p0, normal, uv.u0, uv.v1);
    uint32_t b = AddVertex(mesh, p1, normal, uv.u1, uv.v1);
    uint32_t c = AddVertex(mesh, p2, normal, uv.u1, uv.v0);
    uint32_t d = AddVertex(mesh, p3, normal, uv.u0, uv.v0);
    AddFace(mesh, a, b, c);
    AddFace(mesh, a, c, d);
}

void AddFlatQuad(Mesh& mesh, Vec3 p0, Vec3 p1, Vec3 p2, Vec3 p3, UvRect uv) {
    Vec3 n = Normalised(Cross(p2 - p0, p3 - p1));
    AddQuad(mesh, p0, p1, p2, p3, n, uv);
}

void AddFlatTriangle(Mesh& mesh, Vec3 p0, Vec3 p1, Vec3 p2, UvRect uv) {
    Vec3 n = Normalised(Cross(p1 - p0, p2 - p0));
    uint32_t a = AddVertex(mesh, p0, n, uv.u0, uv.v1);
    uint32_t b = AddVertex(mesh, p1, n, uv.u1, uv.v1);
    uint32_t c = AddVertex(mesh, p2, n, uv.u1, uv.v0);
    AddFace(mesh, a, b, c);
}

void AddBox(Mesh& mesh, Vec3 m, Vec3 M, const BoxUv& uv) {
    // Each face listed from its bottom-left corner, counter-clockwise seen from outside.
    AddQuad(mesh, {m.x, m.y, m.z}, {m.x, m.y, M.z}, {m.x, M.y, M.z}, {m.x, M.y, m.z}, {-1, 0, 0}, uv.face[0]);
    AddQuad(mesh, {M.x, m.y, M.z}, {M.x, m.y, m.z}, {M.x, M.y, m.z}, {M.x, M.y, M.z}, {1, 0, 0}, uv.face[1]);
    AddQuad(mesh, {m.x, m.y, m.z}, {M.x, m.y, m.z}, {M.x, m.y, M.z}, {m.x, m.y, M.z}, {0, -1, 0}, uv.face[2]);
    AddQuad(mesh, {M.x, M.y, m.z}, {m.x, M.y, m.z}, {m.x, M.y, M.z}, {M.x, M.y, M.z}, {0, 1, 0}, uv.face[3]);
    AddQuad(mesh, {M.x, m.y, m.z}, {m.x, m.y, m.z}, {m.x, M.y, m.z}, {M.x, M.y, m.z}, {0, 0, -1}, uv.face[4]);
    AddQuad(mesh, {m.x, m.y, M.z}, {M.x, m.y, M.z}, {M.x, M.y, M.z}, {m.x, M.y, M.z}, {0, 0, 1}, uv.face[5]);
}

void AddTube(Mesh& mesh, Vec3 a, Vec3 b, float ra, float rb, int sides, bool caps, UvRect uv) {
    Vec3 axis = b - a;
    float length = Length(axis);
    if (length == 0.0f || sides < 3) return;
    Vec3 d = axis * (1.0f / length);
    Vec3 e1, e2;
    PerpendicularBasis(d, e1, e2);
    // The side's normal leans toward the narrow end by the taper.
    float slope = (ra - rb) / length;
    float scale = 1.0f / std::sqrt(1.0f + slope * slope);
    uint32_t first = static_cast<uint32_t>(mesh.vertices.size());
    for (int i = 0; i <= sides; ++i) {
        float t = static_cast<float>(i) / static_cast<float>(sides);
        float angle = t * 6.2831853f;
        Vec3 radial = e1 * std::cos(angle) + e2 * std::sin(angle);
        Vec3 n = (radial + d * slope) * scale;
        float u = Lerp(uv.u0, uv.u1, t);
        AddVertex(mesh, a + radial * ra, n, u, uv.v1);
        AddVertex(mesh, b + radial * rb, n, u, uv.v0);
    }
    for (int i = 0; i < sides; ++i) {
        uint32_t a0 = first + 2 * i, b0 = a0 + 1, a1 = a0 + 2, b1 = a0 + 3;
        AddFace(mesh, a0, a1, b1);
        AddFace(mesh, a0, b1, b0);
    }
    if (!caps) return;
    float uc = (uv.u0 + uv.u1) * 0.5f, vc = (uv.v0 + uv.v1) * 0.5f;
    for (int end = 0; end < 2; ++end) {
        Vec3 centre = end == 0 ? a : b;
        float r = end == 0 ? ra : rb;
        if (r <= 0.0f) continue;
        Vec3 n = end == 0 ? -d : d;
        uint32_t c = AddVertex(mesh, centre, n, uc, vc);
        uint32_t ring = static_cast<uint32_t>(mesh.vertices.size());
        for (int i = 0; i < sides; ++i) {
            float angle = 6.2831853f * static_cast<float>(i) / static_cast<float>(sides);
            Vec3 radial = e1 * std::cos(angle) + e2 * std::sin(angle);
            AddVertex(mesh, centre + radial * r, n, uc, vc);
        }
        for (int i = 0; i < sides; ++i) {
            uint32_t p = ring + i, q = ring + (i + 1) % sides;
            if (end == 0)
                AddFace(mesh, c, q, p);
            else
                AddFace(mesh, c, p, q);
        }
    }
}

void AddLathe(Mesh& mesh, const std::vector<std::pair<float, float>>& profile, int sides,
              float yCentre, float yScale, UvRect uv) {
    size_t rings = profile.size();
    if (rings < 2 || sides < 3) return;
    uint32_t first = static_cast<uint32_t>(mesh.vertices.size());
    for (size_t k = 0; k < rings; ++k) {
        float z = profile[k].first, r = profile[k].second;
        // Slope of the radius along z, for the normals.
        size_t lo = k == 0 ? 0 : k - 1, hi = k + 1 < rings ? k + 1 : k;
        float dz = profile[hi].first - profile[lo].first;
        float slope = dz != 0.0f ? (profile[hi].second - profile[lo].second) / dz : 0.0f;
        float span = profile.back().first - profile.front().first;
        float v = Lerp(uv.v0, uv.v1, span != 0.0f ? (z - profile.front().first) / span : 0.0f);
        for (int i = 0; i <= sides; ++i) {
            float t = static_cast<float>(i) / static_cast<float>(sides);
            float angle = t * 6.2831853f;
            float s = std::sin(angle), c = std::cos(angle);
            Vec3 p = {r * s, yCentre + yScale * r * c, z};
            Vec3 n;
            if (r > 0.0f)
                n = Normalised({s, c / yScale, -slope});
            else
                n = {0, 0, k == 0 ? -1.0f : 1.0f};
            AddVertex(mesh, p, n, Lerp(uv.u0, uv.u1, t), v);
        }
    }
    uint32_t stride = static_cast<uint32_t>(sides + 1);
    for (size_t k = 0; k + 1 < rings; ++k) {
        bool tipHere = profile[k].second <= 0.0f, tipNext = profile[k + 1].second <= 0.0f;
        if (tipHere && tipNext) continue;
        for (int i = 0; i < sides; ++i) {
            uint32_t p00 = first + static_cast<uint32_t>(k) * stride + i, p01 = p00 + 1;
            uint32_t p10 = p00 + stride, p11 = p10 + 1;
            if (tipHere) {
                AddFace(mesh, p00, p10, p11);
            } else if (tipNext) {
                AddFace(mesh, p00, p10, p01);
            } else {
                AddFace(mesh, p00, p10, p11);
                AddFace(mesh, p00, p11, p01);
            }
        }
    }
}

void TransformVertices(Mesh& mesh, size_t first, const Mat4& m) {
    for (size_t i = first; i < mesh.vertices.size(); ++i) {
        MeshVertex& v = mesh.vertices[i];
        v.position = TransformPoint(m, v.position);
        TransformDirection(m, v.normal.x, v.normal.y, v.normal.z, v.normal);
    }
}

Mat4 TurnY(float angle, Vec3 position) {
    Mat4 m;
    EulerMatrix({0, angle, 0}, m, position);
    return m;
}

Mat4 TurnX(float angle, Vec3 position) {
    Mat4 m;
    EulerMatrix({angle, 0, 0}, m, position);
    return m;
}

Mat4 TurnZ(float angle, Vec3 position) {
    Mat4 m;
    EulerMatrix({0, 0, angle}, m, position);
    return m;
}

Material TexturedMaterial(const std::string& name, const std::string& textureFile,
                          const std::string& alpha) {
    return {name,        {0.35f, 0.35f, 0.35f, 1}, {1, 1, 1, 1}, {0.1f, 0.1f, 0.1f, 1},
            {0, 0, 0, 1}, 10,                      textureFile,  alpha};
}

std::string FormatA3f(const Mesh& mesh, const Material& material, const std::string& comment,
                      const Skeleton* skeleton) {
    std::string out = "A3F\nVERSION { 1.0 }\nCOMMENT { " + comment + " }\n";
    out += "VERTICES { POSITION_NORMAL_TEXCOORDS " + std::to_string(mesh.vertices.size()) + "\n";
    for (const MeshVertex& v : mesh.vertices) {
        const float values[8] = {v.position.x, v.position.y, v.position.z, v.normal.x,
                                 v.normal.y,   v.normal.z,   v.u,          v.v};
        for (int i = 0; i < 8; ++i) {
            out += FormatNumber(values[i]);
            out += i == 7 ? '\n' : ' ';
        }
    }
    out += "}\nFACES { " + std::to_string(mesh.faces.size()) + "\n";
    for (const MeshFace& f : mesh.faces)
        out += std::to_string(f.a) + ' ' + std::to_string(f.b) + ' ' + std::to_string(f.c) + " 0\n";
    out += "}\nMATERIALS { 1\n{ NAME " + material.name;
    auto colour = [&out](const char* key, const float* c) {
        out += std::string(" ") + key;
        for (int i = 0; i < 4; ++i) out += ' ' + FormatNumber(c[i]);
    };
    colour("AMBIENT", material.ambient);
    colour("DIFFUSE", material.diffuse);
    colour("SPECULAR", material.specular);
    colour("EMISSION", material.emission);
    out += " SHININESS " + std::to_string(material.shininess);
    if (!material.textureFile.empty())
        out += " TEXTURE { FILE " + material.textureFile + " ALPHA " + material.alpha + " }";
    out += " }\n}\n";
    if (skeleton == nullptr) return out;

    out += "BONES { " + std::to_string(skeleton->bones.size()) + "\n";
    for (size_t b = 0; b < skeleton->bones.size(); ++b) {
        const BoneEntry& bone = skeleton->bones[b];
        out += "{ NAME " + bone.name + " PARENT " + bone.parent + " MATRIX";
        AppendMatrix(out, bone.matrix);
        out += " GRAMS " + FormatNumber(bone.grams) + " VERTEX_WEIGHTS {";
        std::vector<uint32_t> weighted;
        for (size_t i = 0; i < mesh.vertices.size(); ++i)
            if (mesh.vertices[i].bone == static_cast<int>(b)) weighted.push_back(static_cast<uint32_t>(i));
        out += ' ' + std::to_string(weighted.size());
        for (size_t i = 0; i < weighted.size(); ++i) {
            out += i % 10 == 0 ? "\n" : " ";
            out += std::to_string(weighted[i]) + " 1";
        }
        out += " } }\n";
    }
    out += "}\nANIMATIONS { " + std::to_string(skeleton->animations.size()) + "\n";
    for (const AnimationEntry& anim : skeleton->animations) {
        out += "ANIMATION { " + anim.name + ' ' + FormatNumber(anim.length) + ' ' +
               std::to_string(anim.keys.size()) + "\n";
        for (const AnimKeyEntry& key : anim.keys) {
            out += "ANIM_KEY { " + FormatNumber(key.time) + ' ' + std::to_string(key.frames.size());
            for (const AnimFrameEntry& frame : key.frames) {
                out += " ANIM_FRAME { " + frame.bone;
                AppendMatrix(out, frame.matrix);
                out += " }";
            }
            out += " }\n";
        }
        out += "}\n";
    }
    out += "}\n";
    return out;
}
