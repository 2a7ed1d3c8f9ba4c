// The generated models, read by the game's own loader, against what the game assumes of
// them: the terrain grid, the flat air base, the biplane's skeleton and propeller
// animation, the tank's collapse vertex, the shapes the placements rely on, and front
// faces wound counter-clockwise.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <map>
#include <string>
#include <vector>

#include "assets/model.h"
#include "assets/model_text.h"
#include "assets/skinned_model.h"
#include "math/mat4.h"
#include "sim/aircraft.h"
#include "sim/flight_model.h"
#include "support/error_capture.h"
#include "support/media.h"
#include "support/temp_dir.h"

namespace {

// A generated model parsed by the game's loader (no texture is uploaded), released again
// at the end of the test.
struct GameModel {
    Model m;
    explicit GameModel(const std::string& name) {
        ErrorCapture errors;
        std::string text = ReadFileBytes(GeneratedMediaDir() + "/" + name);
        EXPECT_TRUE(LoadModelFromMemory(name.c_str(), text.data(), text.size(), m)) << name;
        EXPECT_TRUE(errors.reports.empty()) << name;
    }
    ~GameModel() { ReleaseModel(m); }
    GameModel(const GameModel&) = delete;
    GameModel& operator=(const GameModel&) = delete;
    Vec3 At(uint32_t i) const { return m.vertices[i].position; }
};

struct GameSkinnedModel {
    SkinnedModel s;
    explicit GameSkinnedModel(const std::string& name) {
        ErrorCapture errors;
        std::string text = ReadFileBytes(GeneratedMediaDir() + "/" + name);
        LoadSkinnedModelFromMemory(s, name.c_str(), text.data(), text.size());
        EXPECT_TRUE(errors.reports.empty()) << name;
    }
    ~GameSkinnedModel() { ReleaseSkinnedModel(s); }
    GameSkinnedModel(const GameSkinnedModel&) = delete;
    GameSkinnedModel& operator=(const GameSkinnedModel&) = delete;
};

Vec3 FaceNormal(const Model& m, const Face& f) {
    Vec3 a = m.vertices[f.a].position, b = m.vertices[f.b].position, c = m.vertices[f.c].position;
    return Cross(b - a, c - a);
}

// Height of the terrain under (x, z), through the flight model's query.
float Height(const Model& terrain, float x, float z) {
    Aircraft a;
    a.terrain = const_cast<Model*>(&terrain);
    return TerrainGap(a, x, 0.0f, z);
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

Vec3 Place(Vec3 p, float turn, Vec3 at) {
    Mat4 m;
    EulerMatrix({0, turn, 0}, m, at);
    return TransformPoint(m, p);
}

}  // namespace

TEST(MediaModels, EveryModelIsWoundCounterClockwiseAndTexturedWhite) {
    NEED_MEDIA();
    for (const char* name : {"terrain.a3f", "biplane.a3f", "triplane.a3f", "hangar.a3f", "runway.a3f", "blimp.a3f",
                             "tank.a3f", "shot.a3f", "smoke.a3f", "skydome.a3f"}) {
        GameModel g(name);
        const Model& m = g.m;
        ASSERT_GT(m.faceCount, 0u) << name;
        int disagreeing = 0;
        for (uint32_t i = 0; i < m.faceCount; ++i) {
            const Face& f = m.faces[i];
            Vec3 n = FaceNormal(m, f);
            if (Length(n) < 1e-6f) continue;  // a sliver at a pointed tip
            Vec3 shading = m.vertices[f.a].normal + m.vertices[f.b].normal + m.vertices[f.c].normal;
            if (Dot(n, shading) <= 0) ++disagreeing;
        }
        EXPECT_EQ(disagreeing, 0) << name << ": faces wound against their normals would be culled";
        if (m.textureFile[0] != '\0') {
            // Lighting off multiplies the texture by the diffuse colour.
            for (int i = 0; i < 4; ++i) EXPECT_EQ(m.diffuse[i], 1.0f) << name;
        }
    }
}

TEST(MediaModels, TerrainCellsOwnTheirTwoFacesInOrder) {
    NEED_MEDIA();
    GameModel g("terrain.a3f");
    const Model& t = g.m;
    ASSERT_GE(t.faceCount, 5000u);
    // The faces drawn after the grid, by the cell they lie in: their projected area.
    std::map<std::pair<int, int>, double> drawnLater;
    for (uint32_t i = 5000; i < t.faceCount; ++i) {
        const Face& f = t.faces[i];
        Vec3 n = FaceNormal(t, f);
        ASSERT_GT(n.y, 0.0f) << "face " << i << " after the grid points up";
        Vec3 c = (g.At(f.a) + g.At(f.b) + g.At(f.c)) * (1.0f / 3.0f);
        ASSERT_NEAR(Height(t, c.x, c.z), c.y, 0.05f) << "face " << i << " lies on the ground it covers";
        drawnLater[{static_cast<int>(std::floor(c.z / 1000 + 25)), static_cast<int>(std::floor(c.x / 1000 + 25))}] +=
            n.y * 0.5;
    }
    std::map<std::pair<int, int>, float> grid;
    for (int row = 0; row < 50; ++row)
        for (int column = 0; column < 50; ++column) {
            float x0 = -25000.0f + 1000 * column, z0 = -25000.0f + 1000 * row;
            float projected = 0;
            for (int k = 0; k < 2; ++k) {
                const Face& f = t.faces[2 * (row * 50 + column) + k];
                for (uint32_t i : {f.a, f.b, f.c}) {
                    Vec3 p = g.At(i);
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
                // A cell drawn by the faces after the grid turns its own away.
                const bool turnedAway = drawnLater.find({row, column}) != drawnLater.end();
                ASSERT_EQ(n.y < 0.0f, turnedAway) << "cell " << row << "," << column << " face " << k;
                projected += std::fabs(n.y) * 0.5f;
            }
            ASSERT_FLOAT_EQ(projected, 1000.0f * 1000.0f) << "the two faces cover the cell";
            auto drawn = drawnLater.find({row, column});
            if (drawn != drawnLater.end()) {
                ASSERT_NEAR(drawn->second, 1000.0 * 1000.0, 1.0) << "drawn in full: " << row << "," << column;
            }
        }
    EXPECT_EQ(grid.size(), 51u * 51u);
    // Beyond the grid the ground query finds no cell, though an index past the grid's last
    // cell would reach the faces after it.
    EXPECT_EQ(Height(t, 1000.0f, 25500.0f), 0.0f);
    EXPECT_EQ(Height(t, 25500.0f, 24500.0f), 0.0f);

    // The height the flight model finds is the grid interpolated on the cell's triangles
    // (split from (x0, z1) to (x1, z0)). Points on the grid lines are left out: there its
    // strict containment test passes over both faces of a cell.
    for (int i = 0; i < 4000; ++i) {
        float x = -24999.0f + std::fmod(i * 7919.37f, 49998.0f), z = -24999.0f + std::fmod(i * 3571.91f, 49998.0f);
        float x0 = std::floor(x / 1000) * 1000, z0 = std::floor(z / 1000) * 1000;
        if (x - x0 < 0.01f || z - z0 < 0.01f) continue;
        float fx = (x - x0) / 1000, fz = (z - z0) / 1000;
        auto h = [&](float dx, float dz) { return grid[{static_cast<int>(x0 + dx), static_cast<int>(z0 + dz)}]; };
        float expected = fx + fz <= 1 ? h(0, 0) + fx * (h(1000, 0) - h(0, 0)) + fz * (h(0, 1000) - h(0, 0))
                                      : h(1000, 1000) + (1 - fx) * (h(0, 1000) - h(1000, 1000)) +
                                            (1 - fz) * (h(1000, 0) - h(1000, 1000));
        ASSERT_NEAR(Height(t, x, z), expected, 0.05f) << std::setprecision(9) << x << "," << z;
    }
}

TEST(MediaModels, TerrainHoldsAFlatBaseAPlateauEdgeAndModestHills) {
    NEED_MEDIA();
    GameModel terrain("terrain.a3f"), hangar("hangar.a3f"), runway("runway.a3f");
    const Model& t = terrain.m;
    ASSERT_GE(t.faceCount, 5000u);
    // Under the hangar, the aircraft's start and every vertex of the placed hangar and runway.
    EXPECT_FLOAT_EQ(Height(t, 7600, 6470), 630.0f);
    EXPECT_FLOAT_EQ(Height(t, 7600, 6468), 630.0f);
    for (uint32_t i = 0; i < hangar.m.vertexCount; ++i) {
        Vec3 p = Place(hangar.At(i), -1.570795f, {7600, 630, 6470});
        ASSERT_FLOAT_EQ(Height(t, p.x, p.z), 630.0f) << p.x << "," << p.z;
    }
    for (uint32_t i = 0; i < runway.m.vertexCount; ++i) {
        Vec3 p = Place(runway.At(i), 1.570795f, {7800, 630.25f, 6500});
        ASSERT_FLOAT_EQ(Height(t, p.x, p.z), 630.0f) << p.x << "," << p.z;
    }
    // Rolling north from the hangar the ground stays flat, then falls away steeply enough
    // to lift off an aircraft running at full ground speed.
    for (float z = 6468; z < 7000; z += 20) ASSERT_FLOAT_EQ(Height(t, 7600, z), 630.0f);
    EXPECT_LT(Height(t, 7600, 8000), 630.0f - 250.0f);
    // Hills of a few thousand units at most, always below the zeppelin (5000 and up).
    for (uint32_t i = 0; i < t.vertexCount; ++i) {
        ASSERT_GT(terrain.At(i).y, 0.0f);
        ASSERT_LT(terrain.At(i).y, 3000.0f);
    }
}

TEST(MediaModels, BiplaneSkeletonWeightsEveryVertexOnce) {
    NEED_MEDIA();
    GameSkinnedModel b("biplane.a3f");
    ASSERT_EQ(b.s.boneCount, 2u);
    ASSERT_NE(b.s.bones, nullptr) << "the skeleton builds";
    std::vector<float> total(b.s.model.vertexCount, 0.0f);
    for (uint32_t k = 0; k < b.s.boneCount; ++k)
        for (uint32_t w = 0; w < b.s.bones[k].weightCount; ++w) {
            ASSERT_LT(b.s.bones[k].weights[w].vertex, b.s.model.vertexCount);
            total[b.s.bones[k].weights[w].vertex] += b.s.bones[k].weights[w].weight;
        }
    for (size_t i = 0; i < total.size(); ++i) ASSERT_FLOAT_EQ(total[i], 1.0f) << "vertex " << i;
}

TEST(MediaModels, PropellerSpinsInQuarterTurnsOrLessAndLoopsWhole) {
    NEED_MEDIA();
    GameSkinnedModel b("biplane.a3f");
    ASSERT_GE(b.s.animationCount, 1u);
    const Animation& spin = b.s.animations[0];
    ASSERT_GE(spin.keyCount, 4);
    int32_t prop = spin.keys[0].frames[0].bone;
    ASSERT_GE(prop, 0);
    ASSERT_NE(b.s.bones[prop].parent, nullptr) << "the propeller hangs on the body";
    Mat4 rest = b.s.bones[prop].offset;
    Invert4(rest);  // the propeller's pose in the bind position
    float turned = 0;
    for (int k = 0; k < spin.keyCount; ++k) {
        const AnimKey& key = spin.keys[k];
        ASSERT_EQ(key.frameCount, 1);
        EXPECT_EQ(key.frames[0].bone, prop) << "every key lists the same bone";
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
        const Mat4& next = spin.keys[(k + 1) % spin.keyCount].frames[0].matrix;
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
    GameSkinnedModel g("biplane.a3f");
    const Model& b = g.s.model;
    EXPECT_NEAR(b.boundsMin.y, -1.1f, 0.02f) << "wheels reach the contact points";
    EXPECT_NEAR(b.boundsMax.z - b.boundsMin.z, 7.0f, 0.6f);
    EXPECT_NEAR(b.boundsMax.x - b.boundsMin.x, 9.0f, 0.5f);
    bool skid = false;
    for (uint32_t i = 0; i < b.vertexCount; ++i) {
        Vec3 p = b.vertices[i].position;
        if (p.y < -1.05f) {
            EXPECT_NEAR(std::fabs(p.x), 0.6f, 0.1f);
            EXPECT_NEAR(p.z, 2.1f, 0.35f);
        }
        skid = skid || Length(p - Vec3{0, -0.5f, -3.1f}) < 0.06f;
    }
    EXPECT_TRUE(skid) << "the tail skid ends at the contact point";
    // The propeller never sweeps below the wheels.
    const Bone& prop = g.s.bones[g.s.animations[0].keys[0].frames[0].bone];
    Vec3 hub = {-prop.offset.m[12], -prop.offset.m[13], -prop.offset.m[14]};
    for (uint32_t w = 0; w < prop.weightCount; ++w) {
        Vec3 p = b.vertices[prop.weights[w].vertex].position;
        EXPECT_GT(hub.y - std::hypot(p.x - hub.x, p.y - hub.y), -1.1f);
    }
    // An open cockpit: nothing within reach of the pilot's eye.
    Vec3 eye = {0, 0.85f, -1.0f};
    for (uint32_t i = 0; i < b.faceCount; ++i) {
        const Face& f = b.faces[i];
        ASSERT_GT(PointTriangleDistance(eye, b.vertices[f.a].position, b.vertices[f.b].position,
                                        b.vertices[f.c].position),
                  0.15f);
    }
}

TEST(MediaModels, TankCollapsesInAboutThirtySecondsAndStandsOnTheGround) {
    NEED_MEDIA();
    GameModel g("tank.a3f");
    const Model& tank = g.m;
    ASSERT_GE(tank.vertexCount, 16u);
    ASSERT_NE(tank.textureFile[0], '\0') << "the collapse reads texture coordinates";
    float u = tank.vertices[15].u;
    EXPECT_GE(u, 0.95f);
    EXPECT_LE(u, 1.0f);
    int frames = 0;
    while (u >= 0.005f && frames < 100000) {
        u *= 0.995f;
        ++frames;
    }
    EXPECT_NEAR(frames / 33.0f, 32.0f, 4.0f) << frames << " frames";
    EXPECT_FLOAT_EQ(tank.boundsMin.y, 0.0f);
    EXPECT_GT(tank.boundsMax.y, 2.5f);
    EXPECT_LT(tank.boundsMax.y, 4.5f);
    bool gun = false;
    for (uint32_t i = 0; i < tank.vertexCount; ++i) gun = gun || Length(g.At(i) - Vec3{0, 3, 0}) < 0.5f;
    EXPECT_TRUE(gun) << "the gun ring sits at (0, 3, 0)";
}

TEST(MediaModels, ZeppelinHangsItsGunGondolaAtTheGun) {
    NEED_MEDIA();
    GameModel g("blimp.a3f");
    EXPECT_GE(g.m.boundsMax.z - g.m.boundsMin.z, 80.0f);
    EXPECT_LE(g.m.boundsMax.z - g.m.boundsMin.z, 120.0f);
    // The gondola is what hangs well below the hull at the gun's length along the ship.
    Vec3 lo = {1e9f, 1e9f, 1e9f}, hi = {-1e9f, -1e9f, -1e9f};
    for (uint32_t i = 0; i < g.m.vertexCount; ++i) {
        Vec3 p = g.At(i);
        if (p.y > -15 || std::fabs(p.z + 20) > 8 || std::fabs(p.x) > 4) continue;
        lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
        hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
    }
    EXPECT_TRUE(lo.x < 0 && hi.x > 0 && lo.y < -20 && hi.y > -20 && lo.z < -20 && hi.z > -20)
        << "the gun at (0, -20, -20) sits in the gondola";
}

TEST(MediaModels, HangarDoorwayAndFloorAreOpenTowardLocalX) {
    NEED_MEDIA();
    GameModel g("hangar.a3f");
    const Model& h = g.m;
    EXPECT_FLOAT_EQ(h.boundsMin.y, 0.0f) << "floor level at the origin";
    // The way from the parked aircraft out through the doors (local +x) is clear of every
    // triangle, and so is the spot around the origin where a mission ends.
    const Vec3 clearLo = {-6, 0.3f, -5}, clearHi = {14, 4.0f, 5};
    for (uint32_t i = 0; i < h.faceCount; ++i) {
        Vec3 a = g.At(h.faces[i].a), b = g.At(h.faces[i].b), c = g.At(h.faces[i].c);
        Vec3 flo = {std::min({a.x, b.x, c.x}), std::min({a.y, b.y, c.y}), std::min({a.z, b.z, c.z})};
        Vec3 fhi = {std::max({a.x, b.x, c.x}), std::max({a.y, b.y, c.y}), std::max({a.z, b.z, c.z})};
        bool overlaps = flo.x < clearHi.x && fhi.x > clearLo.x && flo.y < clearHi.y && fhi.y > clearLo.y &&
                        flo.z < clearHi.z && fhi.z > clearLo.z;
        ASSERT_FALSE(overlaps) << "a triangle blocks the way out at " << a.x << "," << a.y << "," << a.z;
    }
    // The biplane (9 wide) fits between the side walls.
    EXPECT_GT(h.boundsMax.z - h.boundsMin.z, 12.0f);
}

TEST(MediaModels, RunwaySkyDomeSmokeAndShotHaveTheirShapes) {
    NEED_MEDIA();
    GameModel runway("runway.a3f");
    EXPECT_EQ(runway.m.boundsMin.y, 0.0f);
    EXPECT_EQ(runway.m.boundsMax.y, 0.0f);
    EXPECT_GT(runway.m.boundsMax.x - runway.m.boundsMin.x, 10 * (runway.m.boundsMax.z - runway.m.boundsMin.z))
        << "a long strip along local x";

    GameModel sky("skydome.a3f");
    for (uint32_t i = 0; i < sky.m.vertexCount; ++i) {
        ASSERT_NEAR(Length(sky.At(i)), 1.0f, 1e-4f);
        ASSERT_LT(Dot(sky.m.vertices[i].normal, sky.At(i)), 0.0f) << "normals face the centre";
        // Drawn scaled by 80000 without renormalised normals: they must come out unit long.
        ASSERT_NEAR(Length(sky.m.vertices[i].normal), 80000.0f, 1.0f);
    }
    EXPECT_FLOAT_EQ(sky.m.boundsMax.y, 1.0f);
    for (uint32_t i = 0; i < sky.m.faceCount; ++i) {
        const Face& f = sky.m.faces[i];
        Vec3 n = FaceNormal(sky.m, f);
        if (Length(n) > 1e-7f) {
            ASSERT_LT(Dot(n, sky.At(f.a) + sky.At(f.b) + sky.At(f.c)), 0.0f) << "seen from inside";
        }
    }

    GameModel smoke("smoke.a3f");
    bool front = false, back = false;
    for (uint32_t i = 0; i < smoke.m.vertexCount; ++i) ASSERT_LT(std::fabs(smoke.At(i).z), 0.05f) << "a square in the x-y plane";
    for (uint32_t i = 0; i < smoke.m.faceCount; ++i) {
        const Face& f = smoke.m.faces[i];
        float nz = FaceNormal(smoke.m, f).z;
        front = front || nz > 0;
        back = back || nz < 0;
        // The two sides a hair apart: coplanar, they fight in the depth test (light lines).
        if (nz < 0) {
            EXPECT_LT(smoke.At(f.a).z, 0.0f) << "the back face behind the front one";
        }
        if (nz > 0) {
            EXPECT_GT(smoke.At(f.a).z, 0.0f) << "the front face before the back one";
        }
    }
    EXPECT_TRUE(front && back) << "visible from both sides";
    EXPECT_EQ(smoke.m.alphaMode, AlphaBlue) << "blended through the alpha its picture carries";

    GameModel shot("shot.a3f");
    Vec3 lo = shot.m.boundsMin, hi = shot.m.boundsMax;
    EXPECT_GT(hi.z - lo.z, 3 * std::max(hi.x - lo.x, hi.y - lo.y)) << "a tracer along +z";
    EXPECT_EQ(shot.m.textureFile[0], '\0');
    EXPECT_GT(shot.m.diffuse[0], 0.8f);
    EXPECT_GT(shot.m.diffuse[1], 0.8f);
}
