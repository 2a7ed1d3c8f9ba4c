// The generated models against what the game assumes of them: the terrain grid, the
// flat air base, the biplane's skeleton and propeller animation, the tank's collapse
// vertex, the placement-dependent shapes, and front faces wound counter-clockwise.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <map>
#include <string>
#include <vector>

#include "math/mat4.h"
#include "support/media.h"
#include "support/media_files.h"

namespace {

A3fFile GeneratedModel(const std::string& name) {
    A3fFile file = ReadA3f(GeneratedMediaDir() + "/" + name);
    EXPECT_EQ(file.error, "") << name;
    return file;
}

#define NEED_MEDIA()                                                             \
    do {                                                                         \
        if (GeneratedMediaDir().empty()) {                                       \
            GTEST_SKIP() << "KELVANE_MEDIA_DIR is not set";                      \
        }                                                                        \
    } while (0)

void Bounds(const A3fFile& m, Vec3& lo, Vec3& hi) {
    lo = {1e30f, 1e30f, 1e30f};
    hi = {-1e30f, -1e30f, -1e30f};
    for (const Vertex& v : m.vertices) {
        lo = {std::min(lo.x, v.position.x), std::min(lo.y, v.position.y), std::min(lo.z, v.position.z)};
        hi = {std::max(hi.x, v.position.x), std::max(hi.y, v.position.y), std::max(hi.z, v.position.z)};
    }
}

Vec3 FaceNormal(const A3fFile& m, const Face& f) {
    Vec3 a = m.vertices[f.a].position, b = m.vertices[f.b].position, c = m.vertices[f.c].position;
    return Cross(b - a, c - a);
}

// The terrain height under (x, z) the way the flight model finds it: the cell's two faces
// by index, the first whose vertical projection holds the point, else the second's plane.
float TerrainHeight(const A3fFile& t, float x, float z) {
    int row = static_cast<int>(std::floor(z * 0.001f + 25)), column = static_cast<int>(std::floor(x * 0.001f + 25));
    size_t k = static_cast<size_t>((row * 50 + column) * 2);
    float height = 0;
    for (size_t face = k; face < k + 2; ++face) {
        const Face& f = t.faces[face];
        Vec3 v0 = t.vertices[f.a].position, e1 = t.vertices[f.b].position - v0, e2 = t.vertices[f.c].position - v0;
        Vec3 n = Cross(e1, e2);
        Vec3 p = {x, 0, z};
        float gap = -Dot(p - v0, n) / n.y;
        Vec3 w = Vec3{x, gap, z} - v0;
        float d11 = Dot(e1, e1), d12 = Dot(e1, e2), d22 = Dot(e2, e2), w1 = Dot(w, e1), w2 = Dot(w, e2);
        float inv = 1.0f / (d12 * d12 - d22 * d11);
        float u = (w2 * d12 - w1 * d22) * inv, v = (w1 * d12 - d11 * w2) * inv;
        height = gap;
        if (u > 0 && v > 0 && u + v < 1) break;
    }
    return height;
}

float PointTriangleDistance(Vec3 p, Vec3 a, Vec3 b, Vec3 c) {
    // Closest point by the usual region tests.
    Vec3 ab = b - a, ac = c - a, ap = p - a;
    float d1 = Dot(ab, ap), d2 = Dot(ac, ap);
    if (d1 <= 0 && d2 <= 0) return Length(ap);
    Vec3 bp = p - b;
    float d3 = Dot(ab, bp), d4 = Dot(ac, bp);
    if (d3 >= 0 && d4 <= d3) return Length(bp);
    float vc = d1 * d4 - d3 * d2;
    if (vc <= 0 && d1 >= 0 && d3 <= 0) return Length(p - (a + ab * (d1 / (d1 - d3))));
    Vec3 cp = p - c;
    float d5 = Dot(ab, cp), d6 = Dot(ac, cp);
    if (d6 >= 0 && d5 <= d6) return Length(cp);
    float vb = d5 * d2 - d1 * d6;
    if (vb <= 0 && d2 >= 0 && d6 <= 0) return Length(p - (a + ac * (d2 / (d2 - d6))));
    float va = d3 * d6 - d5 * d4;
    if (va <= 0 && (d4 - d3) >= 0 && (d5 - d6) >= 0)
        return Length(p - (b + (c - b) * ((d4 - d3) / ((d4 - d3) + (d5 - d6)))));
    float denom = 1.0f / (va + vb + vc);
    return Length(p - (a + ab * (vb * denom) + ac * (vc * denom)));
}

Vec3 Place(const Vertex& v, float turn, Vec3 at) {
    Mat4 m;
    EulerMatrix({0, turn, 0}, m, at);
    return TransformPoint(m, v.position);
}

}  // namespace

TEST(MediaModels, EveryModelIsWellFormedWithFrontFacesCounterClockwise) {
    NEED_MEDIA();
    for (const char* name : {"terrain.a3f", "biplane.a3f", "triplane.a3f", "hangar.a3f", "runway.a3f", "blimp.a3f",
                             "tank.a3f", "shot.a3f", "smoke.a3f", "skydome.a3f"}) {
        A3fFile m = GeneratedModel(name);
        ASSERT_FALSE(m.faces.empty()) << name;
        int disagreeing = 0;
        for (const Face& f : m.faces) {
            ASSERT_TRUE(f.a < m.vertices.size() && f.b < m.vertices.size() && f.c < m.vertices.size()) << name;
            Vec3 n = FaceNormal(m, f);
            if (Length(n) < 1e-6f) continue;  // a sliver at a pointed tip
            Vec3 shading = m.vertices[f.a].normal + m.vertices[f.b].normal + m.vertices[f.c].normal;
            if (Dot(n, shading) <= 0) ++disagreeing;
        }
        EXPECT_EQ(disagreeing, 0) << name << ": faces wound against their normals would be culled";
        if (!m.textureFile.empty()) {
            // Lighting off multiplies the texture by the diffuse colour.
            for (int i = 0; i < 4; ++i) EXPECT_EQ(m.diffuse[i], 1.0f) << name;
        }
    }
}

TEST(MediaModels, TerrainCellsOwnTheirTwoFacesInOrder) {
    NEED_MEDIA();
    A3fFile t = GeneratedModel("terrain.a3f");
    ASSERT_EQ(t.faces.size(), 5000u);
    std::map<std::pair<int, int>, float> grid;
    for (int row = 0; row < 50; ++row)
        for (int column = 0; column < 50; ++column) {
            float x0 = -25000.0f + 1000 * column, z0 = -25000.0f + 1000 * row;
            float projected = 0;
            for (int k = 0; k < 2; ++k) {
                const Face& f = t.faces[2 * (row * 50 + column) + k];
                for (uint32_t i : {f.a, f.b, f.c}) {
                    Vec3 p = t.vertices[i].position;
                    ASSERT_TRUE((p.x == x0 || p.x == x0 + 1000) && (p.z == z0 || p.z == z0 + 1000))
                        << "cell " << row << "," << column << " face " << k;
                    auto key = std::make_pair(static_cast<int>(p.x), static_cast<int>(p.z));
                    auto found = grid.find(key);
                    if (found == grid.end())
                        grid[key] = p.y;
                    else
                        ASSERT_EQ(found->second, p.y) << "the surface has a crack at " << p.x << "," << p.z;
                }
                Vec3 n = FaceNormal(t, f);
                ASSERT_GT(n.y, 0.0f) << "faces point up";
                projected += n.y * 0.5f;
            }
            ASSERT_FLOAT_EQ(projected, 1000.0f * 1000.0f) << "the two faces cover the cell";
        }
    EXPECT_EQ(grid.size(), 51u * 51u);

    // The height found through the cell's faces is the grid interpolated on the cell's
    // triangles (split from (x0, z1) to (x1, z0)). Points on the grid lines themselves are
    // left out: there the flight model's strict containment test passes over both faces.
    for (int i = 0; i < 4000; ++i) {
        float x = -24999.0f + std::fmod(i * 7919.37f, 49998.0f), z = -24999.0f + std::fmod(i * 3571.91f, 49998.0f);
        float x0 = std::floor(x / 1000) * 1000, z0 = std::floor(z / 1000) * 1000;
        if (x - x0 < 0.01f || z - z0 < 0.01f) continue;
        float fx = (x - x0) / 1000, fz = (z - z0) / 1000;
        auto h = [&](float dx, float dz) {
            return grid[{static_cast<int>(x0 + dx), static_cast<int>(z0 + dz)}];
        };
        float expected = fx + fz <= 1 ? h(0, 0) + fx * (h(1000, 0) - h(0, 0)) + fz * (h(0, 1000) - h(0, 0))
                                      : h(1000, 1000) + (1 - fx) * (h(0, 1000) - h(1000, 1000)) +
                                            (1 - fz) * (h(1000, 0) - h(1000, 1000));
        ASSERT_NEAR(TerrainHeight(t, x, z), expected, 0.05f) << std::setprecision(9) << x << "," << z;
    }
}

TEST(MediaModels, TerrainHoldsAFlatBaseAPlateauEdgeAndModestHills) {
    NEED_MEDIA();
    A3fFile t = GeneratedModel("terrain.a3f");
    ASSERT_EQ(t.faces.size(), 5000u);
    // Under the hangar, the aircraft's start and every vertex of the placed hangar and runway.
    EXPECT_FLOAT_EQ(TerrainHeight(t, 7600, 6470), 630.0f);
    EXPECT_FLOAT_EQ(TerrainHeight(t, 7600, 6468), 630.0f);
    for (const Vertex& v : GeneratedModel("hangar.a3f").vertices) {
        Vec3 p = Place(v, -1.570795f, {7600, 630, 6470});
        ASSERT_FLOAT_EQ(TerrainHeight(t, p.x, p.z), 630.0f) << p.x << "," << p.z;
    }
    for (const Vertex& v : GeneratedModel("runway.a3f").vertices) {
        Vec3 p = Place(v, 1.570795f, {7800, 630.25f, 6500});
        ASSERT_FLOAT_EQ(TerrainHeight(t, p.x, p.z), 630.0f) << p.x << "," << p.z;
    }
    // Rolling north from the hangar, the ground stays flat, then falls away steeply enough
    // to lift an aircraft that is running at full ground speed off the ground.
    for (float z = 6468; z < 7000; z += 20) ASSERT_FLOAT_EQ(TerrainHeight(t, 7600, z), 630.0f);
    EXPECT_LT(TerrainHeight(t, 7600, 8000), 630.0f - 250.0f);
    // Hills of a few thousand units at most, always below the zeppelin (5000 and up).
    for (const Vertex& v : t.vertices) {
        ASSERT_GT(v.position.y, 0.0f);
        ASSERT_LT(v.position.y, 3000.0f);
    }
}

TEST(MediaModels, BiplaneSkeletonWeightsEveryVertexOnce) {
    NEED_MEDIA();
    A3fFile b = GeneratedModel("biplane.a3f");
    ASSERT_EQ(b.bones.size(), 2u);
    int roots = 0;
    for (const A3fBone& bone : b.bones) {
        if (bone.parent == "NONE") {
            ++roots;
            continue;
        }
        EXPECT_TRUE(std::any_of(b.bones.begin(), b.bones.end(), [&](const A3fBone& o) { return o.name == bone.parent; }))
            << bone.name;
    }
    EXPECT_EQ(roots, 1);
    std::vector<float> total(b.vertices.size(), 0.0f);
    for (const A3fBone& bone : b.bones)
        for (const auto& w : bone.weights) {
            ASSERT_LT(w.first, b.vertices.size());
            total[w.first] += w.second;
        }
    for (size_t i = 0; i < total.size(); ++i) ASSERT_FLOAT_EQ(total[i], 1.0f) << "vertex " << i;
}

TEST(MediaModels, PropellerSpinsInQuarterTurnsOrLessAndLoopsWhole) {
    NEED_MEDIA();
    A3fFile b = GeneratedModel("biplane.a3f");
    ASSERT_FALSE(b.animations.empty());
    const A3fAnimation& spin = b.animations[0];
    ASSERT_GE(spin.keys.size(), 4u);
    const A3fBone* prop = nullptr;
    for (const A3fBone& bone : b.bones)
        if (bone.name == spin.keys[0].frames.at(0).bone) prop = &bone;
    ASSERT_NE(prop, nullptr);
    ASSERT_NE(prop->parent, "NONE");
    Mat4 rest = prop->matrix;
    Invert4(rest);  // the bone's pose in the bind position
    float turned = 0;
    for (size_t k = 0; k < spin.keys.size(); ++k) {
        const A3fKey& key = spin.keys[k];
        ASSERT_EQ(key.frames.size(), 1u);
        EXPECT_EQ(key.frames[0].bone, prop->name) << "every key lists the same bone";
        EXPECT_GE(key.time, 0.0f);
        EXPECT_LT(key.time, spin.length);
        if (k > 0) {
            EXPECT_GT(key.time, spin.keys[k - 1].time);
        }
        const Mat4& m = key.frames[0].matrix;
        // A turn about the nose axis around the hub, where the bind pose puts the propeller.
        EXPECT_NEAR(m.m[10], 1.0f, 1e-4f);
        EXPECT_NEAR(m.m[2], 0.0f, 1e-4f);
        EXPECT_NEAR(m.m[6], 0.0f, 1e-4f);
        for (int i = 12; i < 15; ++i) EXPECT_NEAR(m.m[i], rest.m[i], 1e-4f);
        const Mat4& next = spin.keys[(k + 1) % spin.keys.size()].frames[0].matrix;
        float step = std::atan2(next.m[1], next.m[0]) - std::atan2(m.m[1], m.m[0]);
        if (step > 3.14159265f) step -= 6.2831853f;
        if (step < -3.14159265f) step += 6.2831853f;
        EXPECT_LE(std::fabs(step), 1.5708f + 1e-4f) << "key " << k;
        EXPECT_GT(std::fabs(step), 0.01f) << "key " << k;
        turned += step;
    }
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(spin.keys[0].frames[0].matrix.m[i], rest.m[i], 1e-4f);
    float turns = std::fabs(turned) / 6.2831853f;
    EXPECT_NEAR(turns, std::round(turns), 1e-3f) << "the loop closes on a whole number of turns";
    EXPECT_GE(std::round(turns), 1.0f);
    // Full throttle advances the animation 2.7 s a frame: under half a turn per frame keeps
    // the propeller visibly turning forward.
    EXPECT_LT(turns * 2.7f / spin.length, 0.5f);
}

TEST(MediaModels, BiplaneMatchesTheFlightModelsContactPointsAndPilotsEye) {
    NEED_MEDIA();
    A3fFile b = GeneratedModel("biplane.a3f");
    Vec3 lo, hi;
    Bounds(b, lo, hi);
    EXPECT_NEAR(lo.y, -1.1f, 0.02f) << "wheels reach the contact points";
    EXPECT_NEAR(hi.z - lo.z, 7.0f, 0.6f);
    EXPECT_NEAR(hi.x - lo.x, 9.0f, 0.5f);
    for (const Vertex& v : b.vertices)
        if (v.position.y < -1.05f) {
            EXPECT_NEAR(std::fabs(v.position.x), 0.6f, 0.1f);
            EXPECT_NEAR(v.position.z, 2.1f, 0.35f);
        }
    bool skid = std::any_of(b.vertices.begin(), b.vertices.end(), [](const Vertex& v) {
        return Length(v.position - Vec3{0, -0.5f, -3.1f}) < 0.06f;
    });
    EXPECT_TRUE(skid) << "the tail skid ends at the contact point";
    // The propeller never sweeps below the wheels.
    const A3fBone& prop = b.bones.at(1);
    Vec3 hub = {-prop.matrix.m[12], -prop.matrix.m[13], -prop.matrix.m[14]};
    for (const auto& w : prop.weights) {
        Vec3 p = b.vertices[w.first].position;
        EXPECT_GT(hub.y - std::hypot(p.x - hub.x, p.y - hub.y), -1.1f);
    }
    // An open cockpit: nothing within reach of the pilot's eye.
    Vec3 eye = {0, 0.85f, -1.0f};
    for (const Face& f : b.faces)
        ASSERT_GT(PointTriangleDistance(eye, b.vertices[f.a].position, b.vertices[f.b].position,
                                        b.vertices[f.c].position),
                  0.15f);
}

TEST(MediaModels, TankCollapsesInAboutThirtySecondsAndStandsOnTheGround) {
    NEED_MEDIA();
    A3fFile tank = GeneratedModel("tank.a3f");
    ASSERT_GE(tank.vertices.size(), 16u);
    ASSERT_FALSE(tank.textureFile.empty()) << "the collapse reads texture coordinates";
    float u = tank.vertices[15].u;
    EXPECT_GE(u, 0.95f);
    EXPECT_LE(u, 1.0f);
    int frames = 0;
    while (u >= 0.005f && frames < 100000) {
        u *= 0.995f;
        ++frames;
    }
    EXPECT_NEAR(frames / 33.0f, 32.0f, 4.0f) << frames << " frames";
    Vec3 lo, hi;
    Bounds(tank, lo, hi);
    EXPECT_FLOAT_EQ(lo.y, 0.0f);
    EXPECT_GT(hi.y, 2.5f);
    EXPECT_LT(hi.y, 4.5f);
    bool gun = std::any_of(tank.vertices.begin(), tank.vertices.end(), [](const Vertex& v) {
        return Length(v.position - Vec3{0, 3, 0}) < 0.5f;
    });
    EXPECT_TRUE(gun) << "the gun ring sits at (0, 3, 0)";
}

TEST(MediaModels, ZeppelinHangsItsGunGondolaAtTheGun) {
    NEED_MEDIA();
    A3fFile z = GeneratedModel("blimp.a3f");
    Vec3 lo, hi;
    Bounds(z, lo, hi);
    EXPECT_GE(hi.z - lo.z, 80.0f);
    EXPECT_LE(hi.z - lo.z, 120.0f);
    // The gondola is what hangs well below the hull at the gun's length along the ship.
    Vec3 gondolaLo = {1e9f, 1e9f, 1e9f}, gondolaHi = {-1e9f, -1e9f, -1e9f};
    for (const Vertex& v : z.vertices) {
        Vec3 p = v.position;
        if (p.y > -15 || std::fabs(p.z + 20) > 8 || std::fabs(p.x) > 4) continue;
        gondolaLo = {std::min(gondolaLo.x, p.x), std::min(gondolaLo.y, p.y), std::min(gondolaLo.z, p.z)};
        gondolaHi = {std::max(gondolaHi.x, p.x), std::max(gondolaHi.y, p.y), std::max(gondolaHi.z, p.z)};
    }
    EXPECT_TRUE(gondolaLo.x < 0 && gondolaHi.x > 0 && gondolaLo.y < -20 && gondolaHi.y > -20 && gondolaLo.z < -20 &&
                gondolaHi.z > -20)
        << "the gun at (0, -20, -20) sits in the gondola";
    EXPECT_FALSE(z.textureFile.empty());
}

TEST(MediaModels, HangarDoorwayAndFloorAreOpenTowardLocalX) {
    NEED_MEDIA();
    A3fFile h = GeneratedModel("hangar.a3f");
    Vec3 lo, hi;
    Bounds(h, lo, hi);
    EXPECT_FLOAT_EQ(lo.y, 0.0f) << "floor level at the origin";
    // The way from the parked aircraft out through the doors (local +x) is clear of every
    // triangle, and so is the spot around the origin where a mission ends.
    const Vec3 clearLo = {-6, 0.3f, -5}, clearHi = {14, 4.0f, 5};
    for (const Face& f : h.faces) {
        Vec3 a = h.vertices[f.a].position, b = h.vertices[f.b].position, c = h.vertices[f.c].position;
        Vec3 flo = {std::min({a.x, b.x, c.x}), std::min({a.y, b.y, c.y}), std::min({a.z, b.z, c.z})};
        Vec3 fhi = {std::max({a.x, b.x, c.x}), std::max({a.y, b.y, c.y}), std::max({a.z, b.z, c.z})};
        bool overlaps = flo.x < clearHi.x && fhi.x > clearLo.x && flo.y < clearHi.y && fhi.y > clearLo.y &&
                        flo.z < clearHi.z && fhi.z > clearLo.z;
        ASSERT_FALSE(overlaps) << "a triangle blocks the way out at " << a.x << "," << a.y << "," << a.z;
    }
    // The biplane (9 wide) fits between the side walls.
    EXPECT_GT(hi.z - lo.z, 12.0f);
}

TEST(MediaModels, RunwaySkyDomeSmokeAndShotHaveTheirShapes) {
    NEED_MEDIA();
    A3fFile runway = GeneratedModel("runway.a3f");
    Vec3 lo, hi;
    Bounds(runway, lo, hi);
    EXPECT_EQ(lo.y, 0.0f);
    EXPECT_EQ(hi.y, 0.0f);
    EXPECT_GT(hi.x - lo.x, 10 * (hi.z - lo.z)) << "a long strip along local x";

    A3fFile sky = GeneratedModel("skydome.a3f");
    float top = -1;
    for (const Vertex& v : sky.vertices) {
        ASSERT_NEAR(Length(v.position), 1.0f, 1e-4f);
        ASSERT_LT(Dot(v.normal, v.position), 0.0f) << "normals face the centre";
        top = std::max(top, v.position.y);
    }
    EXPECT_FLOAT_EQ(top, 1.0f);
    for (const Face& f : sky.faces) {
        Vec3 centre = sky.vertices[f.a].position + sky.vertices[f.b].position + sky.vertices[f.c].position;
        Vec3 n = FaceNormal(sky, f);
        if (Length(n) > 1e-7f) {
            ASSERT_LT(Dot(n, centre), 0.0f) << "seen from inside";
        }
    }

    A3fFile smoke = GeneratedModel("smoke.a3f");
    bool front = false, back = false;
    for (const Vertex& v : smoke.vertices) ASSERT_EQ(v.position.z, 0.0f) << "a square in the x-y plane";
    for (const Face& f : smoke.faces) {
        float nz = FaceNormal(smoke, f).z;
        front = front || nz > 0;
        back = back || nz < 0;
    }
    EXPECT_TRUE(front && back) << "visible from both sides";
    EXPECT_NE(smoke.alpha, "NONE") << "blended through its alpha";

    A3fFile shot = GeneratedModel("shot.a3f");
    Bounds(shot, lo, hi);
    EXPECT_GT(hi.z - lo.z, 3 * std::max(hi.x - lo.x, hi.y - lo.y)) << "a tracer along +z";
    EXPECT_TRUE(shot.textureFile.empty());
    EXPECT_GT(shot.diffuse[0], 0.8f);
    EXPECT_GT(shot.diffuse[1], 0.8f);
}
