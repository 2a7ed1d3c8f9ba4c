// The fixed scenery (hangar, runway, sky dome) and the two small effect models (the tracer
// shot and the smoke puff).
#include <algorithm>
#include <cmath>

#include "image.h"
#include "media_output.h"
#include "mesh.h"
#include "parts.h"

namespace {

// ---- Hangar ----------------------------------------------------------------------------
// Local frame: floor at y = 0, origin in the middle; the doors open toward +x (north once
// the hangar is placed). Atlas (128 x 256): rows 0-63 wall boards, 64-95 tarred roof,
// 96-127 floor boards with the white parking ring, 128-191 the same boards in the shadow
// inside (so the open doorway reads as an opening), 192-255 the chalk apron before the
// doors with its white lead-in line; the door leaves use the wall boards.
constexpr int HangarAtlas = 128, HangarAtlasHeight = 256;
constexpr float HalfDepth = 7.0f, HalfWidth = 8.6f, WallHeight = 4.6f, RidgeHeight = 7.4f;
constexpr float Wall = 0.2f;

// The apron: a chalk strip as wide as the doorway, this long, before the doors.
constexpr float ApronLength = 80.0f;

UvRect HangarRegion(int x0, int y0, int x1, int y1) {
    return AtlasRect(x0, y0, x1, y1, HangarAtlas, HangarAtlasHeight);
}
UvRect HangarCell(int x0, int y0, int x1, int y1) { return AtlasCell(x0, y0, x1, y1, HangarAtlas, HangarAtlasHeight); }

Image PaintHangarAtlas() {
    Image image = MakeImage(HangarAtlas, HangarAtlasHeight, {0, 0, 0, 255});
    Noise grain = MakeNoise(8, 6101);
    // Vertical boards 8 pixels wide, each its own weathered shade, in a few flat tones so
    // the run-length packing has runs to find.
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < HangarAtlas; ++x) {
            int board = x / 8;
            float tone = 0.82f + 0.06f * static_cast<float>((board * 7) % 5);
            float g = SampleNoise(grain, board * 3.0f, y * 0.08f);
            tone *= 0.9f + 0.2f * std::floor(g * 3.0f) / 3.0f;
            Rgba c = Shade({128, 96, 62, 255}, tone);
            if (x % 8 == 7) c = {52, 38, 26, 255};
            if (y == 30 || y == 31) c = Shade(c, 0.75f);  // the rail behind the boards
            image.At(x, y) = c;
        }
    for (int y = 64; y < 96; ++y)
        for (int x = 0; x < HangarAtlas; ++x) {
            Rgba c = (y - 64) % 8 == 7 ? Rgba{34, 34, 36, 255} : Rgba{58, 56, 54, 255};
            image.At(x, y) = c;
        }
    for (int y = 96; y < 128; ++y)
        for (int x = 0; x < HangarAtlas; ++x) {
            int plank = (y - 96) / 4;
            Rgba c = Shade({150, 120, 84, 255}, 0.9f + 0.05f * static_cast<float>(plank % 3));
            if ((y - 96) % 4 == 3) c = {90, 70, 48, 255};
            image.At(x, y) = c;
        }
    // The floor picture spans 14 units (x) by 17.2 units (z); the ring marks 4 units around
    // the hangar's origin, where a returning pilot ends the mission.
    float sx = 128.0f / (2 * HalfDepth), sy = 32.0f / (2 * HalfWidth);
    for (int y = 96; y < 128; ++y)
        for (int x = 0; x < HangarAtlas; ++x) {
            float dx = (x + 0.5f - 64.0f) / sx, dz = (y + 0.5f - 112.0f) / sy;
            float r = std::sqrt(dx * dx + dz * dz);
            if (std::fabs(r - 3.7f) < 0.3f) image.At(x, y) = {230, 228, 220, 255};
        }
    for (int y = 128; y < 192; ++y)
        for (int x = 0; x < HangarAtlas; ++x) image.At(x, y) = Shade(image.At(x, y - 128), 0.42f);
    // The apron (u across the doorway's 17.2 units, v along its length): worn chalk with
    // a white line down the middle, straight to the ring.
    Noise wear = MakeNoise(8, 6113);
    for (int y = 192; y < 256; ++y)
        for (int x = 0; x < HangarAtlas; ++x) {
            float g = SampleNoise(wear, x * 0.06f, y * 0.06f);
            Rgba c = Shade({196, 190, 166, 255}, 0.86f + 0.12f * g);
            if (std::abs(x - 64) <= 3) c = {240, 238, 230, 255};
            if (x < 3 || x > 124) c = Shade(c, 0.7f);
            image.At(x, y) = c;
        }
    return image;
}

Mesh BuildHangar() {
    Mesh mesh;
    UvRect boards = HangarRegion(0, 0, 128, 64), roof = HangarRegion(0, 64, 128, 96);
    UvRect floor = HangarRegion(0, 96, 128, 128), edge = HangarCell(0, 64, 8, 72);
    // Back wall and the two side walls, boards on every face, in shadow on the inside.
    UvRect inside = HangarRegion(0, 128, 128, 192);
    BoxUv back = SameUv(boards), left = SameUv(boards), right = SameUv(boards);
    back.face[1] = inside;   // its +x face looks into the hangar
    left.face[4] = inside;   // the +z wall's -z face
    right.face[5] = inside;  // the -z wall's +z face
    AddBox(mesh, {-HalfDepth - Wall, 0, -HalfWidth - Wall}, {-HalfDepth, WallHeight, HalfWidth + Wall}, back);
    AddBox(mesh, {-HalfDepth, 0, HalfWidth}, {HalfDepth, WallHeight, HalfWidth + Wall}, left);
    AddBox(mesh, {-HalfDepth, 0, -HalfWidth - Wall}, {HalfDepth, WallHeight, -HalfWidth}, right);
    // Gables front and back; the front one stands above the open doorway.
    for (int end = -1; end <= 1; end += 2) {
        float x = end < 0 ? -HalfDepth - Wall * 0.5f : HalfDepth - Wall * 0.5f;
        AddSlab(mesh,
                {{x, WallHeight, -HalfWidth - Wall}, {x, WallHeight, HalfWidth + Wall}, {x, RidgeHeight, 0}},
                {1, 0, 0}, Wall * 0.5f, boards, {0, 0, 1}, {0, 1, 0}, boards);
    }
    // Lintel over the doorway.
    AddBox(mesh, {HalfDepth - Wall, WallHeight - 0.4f, -HalfWidth}, {HalfDepth, WallHeight, HalfWidth}, boards);
    // Roof: two pitched slabs with eaves overhanging the walls.
    const float eaveZ = HalfWidth + 0.6f, eaveY = WallHeight - 0.1f, overhang = 0.6f;
    for (int side = -1; side <= 1; side += 2) {
        Vec3 a = {-HalfDepth - overhang, eaveY, side * eaveZ}, b = {HalfDepth + overhang, eaveY, side * eaveZ};
        Vec3 c = {HalfDepth + overhang, RidgeHeight + 0.1f, 0}, d = {-HalfDepth - overhang, RidgeHeight + 0.1f, 0};
        Vec3 n = Cross(b - a, c - a);
        Normalize(n);
        if (n.y < 0) n = -n;
        AddSlab(mesh, {a, b, c, d}, n, 0.08f, roof, {1, 0, 0}, {0, 1, 0}, edge);
    }
    // Floor deck, just proud of the ground.
    AddBox(mesh, {-HalfDepth, 0, -HalfWidth}, {HalfDepth, 0.12f, HalfWidth},
           BoxUv{{edge, edge, edge, {floor.u1, floor.v0, floor.u0, floor.v1}, edge, edge}});
    // The two door leaves, folded back against the outside of the side walls' line.
    for (int side = -1; side <= 1; side += 2) {
        float z0 = side * (HalfWidth + Wall), z1 = side * (HalfWidth + Wall + 0.15f);
        AddBox(mesh, {HalfDepth, 0.05f, std::min(z0, z1)}, {HalfDepth + 8.2f, WallHeight - 0.3f, std::max(z0, z1)},
               boards);
    }
    // The apron before the doors, just above the flat ground, its line leading in.
    UvRect apron = HangarRegion(0, 192, 128, 256);
    AddQuad(mesh, {HalfDepth + ApronLength, 0.2f, HalfWidth}, {HalfDepth + ApronLength, 0.2f, -HalfWidth},
            {HalfDepth, 0.2f, -HalfWidth}, {HalfDepth, 0.2f, HalfWidth}, {0, 1, 0}, apron);
    // The air-raid siren on its pole beside the hangar.
    UvRect dark = HangarCell(8, 80, 16, 88);
    AddTube(mesh, {3, 0, HalfWidth + 3}, {3, 6.5f, HalfWidth + 3}, 0.12f, 0.09f, 8, true, edge);
    AddTube(mesh, {2.6f, 6.7f, HalfWidth + 3}, {3.8f, 6.7f, HalfWidth + 3}, 0.3f, 0.45f, 12, true, dark);
    return mesh;
}

// ---- Runway ----------------------------------------------------------------------------
// A strip along local x (world z 6010..6990 once placed: inside the flat cells, off the
// grid lines), 980 long and 60 wide, at height 0. Its
// picture (128 across, 256 along) repeats every 120 units.
constexpr float RunwayHalfLength = 490.0f, RunwayHalfWidth = 30.0f, RunwayRepeat = 120.0f;

Image PaintRunway() {
    const int w = 128, h = 256;
    Image image = MakeImage(w, h, {0, 0, 0, 255});
    Noise grain = MakeNoise(16, 6201);
    Noise wear = MakeNoise(8, 6202);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float u = (x + 0.5f) / w, v = (y + 0.5f) / h;
            float g = TiledFractal(grain, u, v, 4);
            // A strip of chalk-dressed, close-mown turf: much paler than the fields around
            // it, so the base shows from the air as a light bar with white edges.
            Rgba turf = Shade({184, 176, 128, 255}, 0.88f + 0.24f * g);
            // Two worn wheel tracks.
            float across = std::fabs(u - 0.5f);
            float track = std::min(std::fabs(across - 0.16f), std::fabs(across - 0.04f));
            float worn = std::clamp(1.0f - track / 0.06f, 0.0f, 1.0f);
            worn *= 0.45f + 0.5f * TiledFractal(wear, u, v, 3);
            Rgba earth = Shade({150, 122, 86, 255}, 0.9f + 0.2f * g);
            Rgba c = Mix(turf, earth, std::clamp(worn, 0.0f, 1.0f));
            // White edge lines, broken every quarter picture.
            if (across > 0.41f && across < 0.47f && (y % 64) < 44) c = {240, 240, 232, 255};
            // A dark border of rough grass frames it against the fields.
            if (across >= 0.47f) c = Shade({70, 96, 40, 255}, 0.85f + 0.3f * g);
            image.At(x, y) = c;
        }
    return image;
}

Mesh BuildRunway() {
    Mesh mesh;
    const int segments = 16;
    for (int i = 0; i < segments; ++i) {
        float x0 = -RunwayHalfLength + 2 * RunwayHalfLength * i / segments;
        float x1 = -RunwayHalfLength + 2 * RunwayHalfLength * (i + 1) / segments;
        // Looking down with +z at the picture's left: the picture's x runs across the strip.
        uint32_t a = AddVertex(mesh, {x0, 0, RunwayHalfWidth}, {0, 1, 0}, 0, x0 / RunwayRepeat);
        uint32_t b = AddVertex(mesh, {x0, 0, -RunwayHalfWidth}, {0, 1, 0}, 1, x0 / RunwayRepeat);
        uint32_t c = AddVertex(mesh, {x1, 0, -RunwayHalfWidth}, {0, 1, 0}, 1, x1 / RunwayRepeat);
        uint32_t d = AddVertex(mesh, {x1, 0, RunwayHalfWidth}, {0, 1, 0}, 0, x1 / RunwayRepeat);
        AddFace(mesh, a, d, c);
        AddFace(mesh, a, c, b);
    }
    return mesh;
}

// ---- Sky dome --------------------------------------------------------------------------
// A unit hemisphere seen from inside, with a skirt a little below the horizon so no gap
// shows past the edge of the land. v = 0 at the zenith; u goes twice around.
constexpr float SkirtDegrees = 20.0f;
// The dome is drawn scaled by this, and OpenGL scales its normals by the inverse without
// renormalising them (the game does not enable GL_NORMALIZE): normals this long come out
// unit length, so with the light on the sky is lit instead of falling to black.
constexpr float DomeScale = 80000.0f;

Image PaintSky() {
    const int size = 256;
    Image image = MakeImage(size, size, {0, 0, 0, 255});
    Noise clouds = MakeNoise(8, 6301);
    float horizonV = 90.0f / (90.0f + SkirtDegrees);
    for (int y = 0; y < size; ++y) {
        float v = (y + 0.5f) / size;
        float t = std::clamp(v / horizonV, 0.0f, 1.0f);
        Rgba zenith = {52, 92, 168, 255}, mid = {104, 150, 212, 255}, horizon = {200, 214, 226, 255};
        Rgba sky = t < 0.6f ? Mix(zenith, mid, t / 0.6f) : Mix(mid, horizon, (t - 0.6f) / 0.4f);
        if (v > horizonV) sky = Mix(horizon, {150, 162, 160, 255}, (v - horizonV) / (1 - horizonV));
        for (int x = 0; x < size; ++x) {
            float u = (x + 0.5f) / size;
            // Clouds thin out toward the zenith (where the picture pinches) and flatten
            // toward the horizon.
            float n = TiledFractal(clouds, u, v * 2.0f, 4);
            float amount = std::clamp((n - 0.52f) * 4.0f, 0.0f, 1.0f);
            amount *= std::clamp((t - 0.15f) * 3.0f, 0.0f, 1.0f);
            if (v > horizonV) amount *= 0.3f;
            Rgba cloud = Mix({250, 250, 252, 255}, {196, 198, 206, 255}, std::clamp((n - 0.55f) * 3.0f, 0.0f, 1.0f));
            image.At(x, y) = Mix(sky, cloud, amount * 0.9f);
        }
    }
    return image;
}

Mesh BuildSkyDome() {
    Mesh mesh;
    const int around = 32, rings = 12;
    const float top = 90.0f, bottom = -SkirtDegrees, degree = 0.017453293f;
    for (int k = 0; k <= rings; ++k) {
        float latitude = (top - (top - bottom) * k / rings) * degree;
        float v = static_cast<float>(k) / rings;
        for (int i = 0; i <= around; ++i) {
            float angle = 6.2831853f * i / around;
            Vec3 p = {std::cos(latitude) * std::sin(angle), std::sin(latitude), std::cos(latitude) * std::cos(angle)};
            AddVertex(mesh, p, p * -DomeScale, 2.0f * i / around, v);
        }
    }
    // Wound to face the centre.
    const uint32_t stride = around + 1;
    for (int k = 0; k < rings; ++k)
        for (int i = 0; i < around; ++i) {
            uint32_t p00 = k * stride + i, p01 = p00 + 1, p10 = p00 + stride, p11 = p10 + 1;
            if (k == 0) {
                AddFace(mesh, p00, p11, p10);  // the zenith ring is one point
            } else {
                AddFace(mesh, p00, p11, p10);
                AddFace(mesh, p00, p01, p11);
            }
        }
    return mesh;
}

// ---- Shot and smoke --------------------------------------------------------------------
Mesh BuildShot() {
    Mesh mesh;
    AddTube(mesh, {0, 0, -2.0f}, {0, 0, 1.2f}, 0.02f, 0.16f, 6, false, UvPoint(0, 0));
    AddTube(mesh, {0, 0, 1.2f}, {0, 0, 2.0f}, 0.16f, 0.0f, 6, false, UvPoint(0, 0));
    return mesh;
}

// A square in the x-y plane, visible from both sides (the death view sees it from above
// once it is tilted flat). The two faces stand a hair apart: in one plane, wherever both
// are drawn (no face culling) the depth test passes the second only on some pixels, and the
// puff shows straight light lines of doubled smoke along the triangles' rows.
Mesh BuildSmoke() {
    Mesh mesh;
    const float s = 1.5f, gap = 0.02f;
    AddQuad(mesh, {-s, -s, gap}, {s, -s, gap}, {s, s, gap}, {-s, s, gap}, {0, 0, 1}, {0, 0, 1, 1});
    AddQuad(mesh, {s, -s, -gap}, {-s, -s, -gap}, {-s, s, -gap}, {s, s, -gap}, {0, 0, -1}, {0, 0, 1, 1});
    return mesh;
}

// A soft grey cloud: colour and alpha in one 32-bit picture, alpha fading to 0 at the rim.
Image PaintSmoke() {
    const int size = 64;
    Image image = MakeImage(size, size, {0, 0, 0, 0});
    Noise puff = MakeNoise(4, 6401);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float dx = (x + 0.5f) / size * 2 - 1, dy = (y + 0.5f) / size * 2 - 1;
            float r = std::sqrt(dx * dx + dy * dy);
            float n = TiledFractal(puff, (x + 0.5f) / size, (y + 0.5f) / size, 3);
            float density = std::clamp((1.0f - r / (0.7f + 0.35f * n)) * 1.6f, 0.0f, 1.0f);
            Rgba c = Shade({150, 148, 144, 255}, 0.65f + 0.5f * n);
            c.a = ClampByte(density * density * (3 - 2 * density) * 235.0f);
            image.At(x, y) = c;
        }
    return image;
}

}  // namespace

void MakeScenery(MediaOutput& out) {
    SaveFile(out, "hangar.a3f",
             FormatA3f(BuildHangar(), TexturedMaterial("planks", "hangar.tga"),
                       "wooden hangar, doors open toward local +x, floor at local height 0", nullptr));
    SaveFile(out, "hangar.tga", EncodeTga(PaintHangarAtlas(), true, false, false));

    SaveFile(out, "runway.a3f",
             FormatA3f(BuildRunway(), TexturedMaterial("strip", "runway.jpg"),
                       "grass runway along local x, 980 long and 60 wide", nullptr));
    SaveFile(out, "runway.jpg", EncodeJpeg(PaintRunway(), 88));

    SaveFile(out, "skydome.a3f",
             FormatA3f(BuildSkyDome(), TexturedMaterial("sky", "sky.jpg"),
                       "unit hemisphere facing inward with a skirt below the horizon", nullptr));
    SaveFile(out, "sky.jpg", EncodeJpeg(PaintSky(), 90));

    Material tracer = {"tracer", {1, 0.9f, 0.5f, 1}, {1, 0.92f, 0.45f, 1}, {0, 0, 0, 1}, {1, 0.8f, 0.3f, 1}, 0, "", ""};
    SaveFile(out, "shot.a3f", FormatA3f(BuildShot(), tracer, "tracer round along +z", nullptr));

    // Alpha mode BLUE keeps the alpha the picture carries.
    SaveFile(out, "smoke.a3f",
             FormatA3f(BuildSmoke(), TexturedMaterial("puff", "smoke.tga", "BLUE"),
                       "smoke puff in the local x-y plane", nullptr));
    SaveFile(out, "smoke.tga", EncodeTga(PaintSmoke(), false, true, false));
}
