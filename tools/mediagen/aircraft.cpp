// The player's biplane (skinned: the propeller turns on its own bone) and the enemy ace's
// red triplane. Both have their nose toward +z and share one texture-atlas layout:
//   rows   0- 47  upper surface of a wing half, root at the left, insignia near the tip
//   rows  48- 79  lower surface of a wing half
//   rows  80-103  fuselage side, tail at the left
//   rows 104-127  flat colour cells (16 pixels each): fabric, metal, wood, rubber, dark,
//                 underside; then the fin (32 pixels) with its markings.
#include <cmath>

#include "image.h"
#include "media_output.h"
#include "mesh.h"
#include "parts.h"

namespace {

constexpr int AtlasSize = 128;

struct Scheme {
    Rgba fabric, underside, metal, wood, rubber, dark;
    bool roundels;  // British roundels and rudder stripes; otherwise black crosses
};

UvRect Region(int x0, int y0, int x1, int y1) { return AtlasRect(x0, y0, x1, y1, AtlasSize, AtlasSize); }
UvRect Cell(int index) { return AtlasCell(16 * index, 104, 16 * index + 16, 128, AtlasSize, AtlasSize); }

const UvRect WingTop = Region(0, 0, 128, 48);
const UvRect WingBottom = Region(0, 48, 128, 80);
const UvRect FuselageSide = Region(0, 80, 128, 104);
const UvRect FinMarkings = Region(96, 104, 128, 128);
const UvRect Fabric = Cell(0), Metal = Cell(1), Wood = Cell(2), Rubber = Cell(3), Dark = Cell(4),
             Underside = Cell(5);

const Rgba White = {236, 232, 222, 255}, Black = {18, 18, 18, 255};
const Rgba RoundelBlue = {32, 52, 128, 255}, RoundelRed = {186, 32, 40, 255};

// The nation's mark centred at (cx, cy); rx, ry its half-size in pixels (elliptical where
// the texture is stretched on the model).
void PaintInsignia(Image& image, const Scheme& s, float cx, float cy, float rx, float ry) {
    if (s.roundels) {
        FillEllipse(image, cx, cy, rx, ry, RoundelBlue);
        FillEllipse(image, cx, cy, rx * 0.68f, ry * 0.68f, White);
        FillEllipse(image, cx, cy, rx * 0.36f, ry * 0.36f, RoundelRed);
        return;
    }
    // A black cross with flared arms on a white square.
    FillRect(image, static_cast<int>(cx - rx), static_cast<int>(cy - ry), static_cast<int>(cx + rx + 1),
             static_cast<int>(cy + ry + 1), White);
    const float arms[4][2] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};
    for (const auto& a : arms) {
        float px = -a[1], py = a[0];  // across the arm
        float inner = 0.16f, outer = 0.9f, root = 0.14f, flare = 0.34f;
        std::vector<float> arm = {cx + (a[0] * inner + px * root) * rx, cy + (a[1] * inner + py * root) * ry,
                                  cx + (a[0] * outer + px * flare) * rx, cy + (a[1] * outer + py * flare) * ry,
                                  cx + (a[0] * outer - px * flare) * rx, cy + (a[1] * outer - py * flare) * ry,
                                  cx + (a[0] * inner - px * root) * rx, cy + (a[1] * inner - py * root) * ry};
        FillPolygon(image, arm, Black);
    }
    FillRect(image, static_cast<int>(cx - 0.17f * rx), static_cast<int>(cy - 0.17f * ry),
             static_cast<int>(cx + 0.17f * rx + 1), static_cast<int>(cy + 0.17f * ry + 1), Black);
}

// Doped fabric over ribs: faint lines across the chord every `pitch` pixels.
void PaintFabric(Image& image, int y0, int y1, Rgba colour, int pitch, uint32_t seed) {
    Noise grain = MakeNoise(8, seed);
    for (int y = y0; y < y1; ++y)
        for (int x = 0; x < AtlasSize; ++x) {
            float g = SampleNoise(grain, x * 0.25f, y * 0.25f);
            Rgba c = Shade(colour, 0.92f + 0.14f * g);
            if (pitch > 0 && x % pitch == pitch - 1) c = Shade(c, 1.12f);
            image.At(x, y) = c;
        }
}

Image PaintAtlas(const Scheme& s, uint32_t seed) {
    Image image = MakeImage(AtlasSize, AtlasSize, s.fabric);
    PaintFabric(image, 0, 48, s.fabric, 11, seed);
    PaintFabric(image, 48, 80, s.underside, 11, seed + 1);
    PaintFabric(image, 80, 104, s.fabric, 0, seed + 2);
    // A wing's upper surface is about 28 pixels per unit along the span and 34 across the
    // chord; the fuselage side about 21 along and 24 up: the marks are drawn narrower.
    // Aileron hinge line toward the tip, under the marks.
    for (int x = 64; x < 128; ++x) image.At(x, 41) = Shade(s.fabric, 0.7f);
    // Bare metal panels behind the engine.
    if (s.roundels) FillRect(image, 116, 80, 128, 104, Shade(s.metal, 0.9f));
    PaintInsignia(image, s, 94, 22, 17, 19);
    PaintInsignia(image, s, 94, 64, 11, 13);
    PaintInsignia(image, s, 30, 92, 8.5f, 10);
    const Rgba cells[6] = {s.fabric, s.metal, s.wood, s.rubber, s.dark, s.underside};
    for (int i = 0; i < 6; ++i) FillRect(image, 16 * i, 104, 16 * i + 16, 128, cells[i]);
    // Fin: the rudder stripes (tail side at the left), or white with a black cross.
    if (s.roundels) {
        FillRect(image, 96, 104, 107, 128, RoundelRed);
        FillRect(image, 107, 104, 118, 128, White);
        FillRect(image, 118, 104, 128, 128, RoundelBlue);
    } else {
        FillRect(image, 96, 104, 128, 128, White);
        PaintInsignia(image, s, 111, 116, 9, 9);
    }
    return image;
}

// A fuselage of four-sided sections along z: (z, half width, bottom, top). Segments listed
// in `darkTop` get the dark cell on top (the open cockpit).
struct Section {
    float z, halfWidth, bottom, top;
};

void AddFuselage(Mesh& mesh, const std::vector<Section>& sections, int darkTop) {
    float zTail = sections.front().z, zNose = sections.back().z;
    auto sideU = [&](float z) {
        return FuselageSide.u0 + (FuselageSide.u1 - FuselageSide.u0) * (z - zTail) / (zNose - zTail);
    };
    // The side picture spans the fuselage's full height range.
    float yLow = 1e9f, yHigh = -1e9f;
    for (const Section& s : sections) {
        yLow = std::min(yLow, s.bottom);
        yHigh = std::max(yHigh, s.top);
    }
    auto sideV = [&](float y) {
        return FuselageSide.v1 + (FuselageSide.v0 - FuselageSide.v1) * (y - yLow) / (yHigh - yLow);
    };
    for (size_t k = 0; k + 1 < sections.size(); ++k) {
        const Section& a = sections[k];
        const Section& b = sections[k + 1];
        for (int side = -1; side <= 1; side += 2) {
            float sa = side * a.halfWidth, sb = side * b.halfWidth;
            const Vec3 quad[4] = {{sa, a.bottom, a.z}, {sb, b.bottom, b.z}, {sb, b.top, b.z}, {sa, a.top, a.z}};
            const float uv[4][2] = {{sideU(a.z), sideV(a.bottom)},
                                    {sideU(b.z), sideV(b.bottom)},
                                    {sideU(b.z), sideV(b.top)},
                                    {sideU(a.z), sideV(a.top)}};
            AddQuadFacing(mesh, quad, uv, {static_cast<float>(side), 0, 0});
        }
        UvRect topUv = static_cast<int>(k) == darkTop ? Dark : Fabric;
        const Vec3 top[4] = {{-a.halfWidth, a.top, a.z}, {a.halfWidth, a.top, a.z}, {b.halfWidth, b.top, b.z},
                             {-b.halfWidth, b.top, b.z}};
        const Vec3 bottom[4] = {{-a.halfWidth, a.bottom, a.z}, {a.halfWidth, a.bottom, a.z},
                                {b.halfWidth, b.bottom, b.z}, {-b.halfWidth, b.bottom, b.z}};
        const float topUvs[4][2] = {{topUv.u0, topUv.v0}, {topUv.u0, topUv.v0}, {topUv.u0, topUv.v0},
                                    {topUv.u0, topUv.v0}};
        const float bottomUvs[4][2] = {{Underside.u0, Underside.v0}, {Underside.u0, Underside.v0},
                                       {Underside.u0, Underside.v0}, {Underside.u0, Underside.v0}};
        AddQuadFacing(mesh, top, topUvs, {0, 1, 0});
        AddQuadFacing(mesh, bottom, bottomUvs, {0, -1, 0});
    }
    // Tail post.
    const Section& t = sections.front();
    const Vec3 back[4] = {{-t.halfWidth, t.bottom, t.z}, {t.halfWidth, t.bottom, t.z}, {t.halfWidth, t.top, t.z},
                          {-t.halfWidth, t.top, t.z}};
    const float backUvs[4][2] = {{Fabric.u0, Fabric.v0}, {Fabric.u0, Fabric.v0}, {Fabric.u0, Fabric.v0},
                                 {Fabric.u0, Fabric.v0}};
    AddQuadFacing(mesh, back, backUvs, {0, 0, -1});
}

// One wing half from the root (x = root) to the tip, its upper and lower surfaces painted
// with the wing pictures (root at the picture's left), tilted up by `dihedral` radians
// about the root.
void AddWingHalf(Mesh& mesh, int side, float root, float tip, float y, float thickness, float zBack,
                 float zFront, float dihedral) {
    size_t first = mesh.vertices.size();
    float x0 = side > 0 ? root : -tip, x1 = side > 0 ? tip : -root;
    BoxUv uv = SameUv(Fabric);
    // +y face: u runs from +x to -x; -y face: from -x to +x (see AddBox).
    UvRect top = WingTop, bottom = WingBottom;
    if (side > 0) {
        uv.face[3] = {top.u1, top.v0, top.u0, top.v1};
        uv.face[2] = bottom;
    } else {
        uv.face[3] = top;
        uv.face[2] = {bottom.u1, bottom.v0, bottom.u0, bottom.v1};
    }
    AddBox(mesh, {x0, y - thickness * 0.5f, zBack}, {x1, y + thickness * 0.5f, zFront}, uv);
    if (dihedral != 0.0f) {
        Mat4 toRoot = TurnZ(0, {-side * root, -y, 0});
        Mat4 turn = TurnZ(side * dihedral, {side * root, y, 0});
        Mat4 m;
        AffineMultiply(m, turn, toRoot);
        TransformVertices(mesh, first, m);
    }
}

void AddWheels(Mesh& mesh, float z) {
    for (int side = -1; side <= 1; side += 2) {
        AddTube(mesh, {side * 0.52f, -0.8f, z}, {side * 0.68f, -0.8f, z}, 0.3f, 0.3f, 14, true, Rubber);
        AddRod(mesh, {side * 0.3f, -0.42f, z - 0.5f}, {side * 0.6f, -0.8f, z}, 0.035f, Wood);
        AddRod(mesh, {side * 0.3f, -0.42f, z + 0.5f}, {side * 0.6f, -0.8f, z}, 0.035f, Wood);
    }
    AddRod(mesh, {-0.62f, -0.8f, z}, {0.62f, -0.8f, z}, 0.035f, Metal);
}

void AddPropellerBlade(Mesh& mesh, Vec3 hub, float radius) {
    std::vector<Vec3> outline = {{-radius, -0.05f, 0}, {0, -0.09f, 0}, {radius, -0.05f, 0},
                                 {radius, 0.05f, 0},   {0, 0.09f, 0},  {-radius, 0.05f, 0}};
    for (Vec3& p : outline) p = p + hub;
    AddSlab(mesh, outline, {0, 0, 1}, 0.03f, Wood, {1, 0, 0}, {0, 1, 0}, Wood);
    AddTube(mesh, hub - Vec3{0, 0, 0.14f}, hub + Vec3{0, 0, 0.1f}, 0.09f, 0.06f, 8, true, Metal);
}

// The rotary engine's round cowling, open dark front.
void AddCowling(Mesh& mesh, float zBack, float zFront, float y, float radius, UvRect uv) {
    AddTube(mesh, {0, y, zBack}, {0, y, zFront}, radius, radius * 0.94f, 16, true, uv);
    AddTube(mesh, {0, y, zFront}, {0, y, zFront + 0.02f}, radius * 0.7f, radius * 0.7f, 16, true, Dark);
}

// The deck slopes well down to the nose and the engine sits low in it, in a slim cowling
// whose top is flush with the deck, and the guns lie low and apart: so that from the seat
// the sky shows all round where the shots go at full throttle (some 45 pixels below the
// window's middle at 640 x 480), between the gun muzzles and over the deck.
const Vec3 PropellerHub = {0, -0.09f, 3.47f};

Mesh BuildBiplane() {
    Mesh mesh;
    mesh.bone = 0;
    AddFuselage(mesh,
                {{-3.35f, 0.04f, 0.10f, 0.40f},
                 {-1.55f, 0.36f, -0.28f, 0.62f},
                 {-0.45f, 0.42f, -0.38f, 0.66f},
                 {1.0f, 0.46f, -0.45f, 0.55f},
                 {2.8f, 0.5f, -0.42f, 0.29f}},
                1);
    AddCowling(mesh, 2.75f, 3.3f, PropellerHub.y, 0.38f, Metal);
    // Twin guns on the deck ahead of the cockpit, in the pilot's view.
    for (int side = -1; side <= 1; side += 2)
        AddTube(mesh, {side * 0.22f, 0.62f, 0.3f}, {side * 0.22f, 0.6f, 1.9f}, 0.04f, 0.04f, 6, true, Dark);
    // A headrest behind the cockpit.
    AddTube(mesh, {0, 0.62f, -2.4f}, {0, 0.62f, -1.6f}, 0.05f, 0.14f, 8, true, Fabric);
    // Wings: upper flat, lower with a little dihedral; struts between.
    const float dihedral = 0.05f;
    AddWingHalf(mesh, 1, 0.0f, 4.5f, 1.35f, 0.08f, 0.95f, 2.35f, 0);
    AddWingHalf(mesh, -1, 0.0f, 4.5f, 1.35f, 0.08f, 0.95f, 2.35f, 0);
    AddWingHalf(mesh, 1, 0.42f, 4.2f, -0.42f, 0.08f, 0.8f, 2.1f, dihedral);
    AddWingHalf(mesh, -1, 0.42f, 4.2f, -0.42f, 0.08f, 0.8f, 2.1f, dihedral);
    float lowerAtStrut = -0.38f + (3.1f - 0.42f) * std::tan(dihedral);
    for (int side = -1; side <= 1; side += 2) {
        float x = side * 3.1f;
        AddRod(mesh, {x, lowerAtStrut, 1.05f}, {x, 1.31f, 1.2f}, 0.04f, Wood);
        AddRod(mesh, {x, lowerAtStrut, 1.85f}, {x, 1.31f, 2.1f}, 0.04f, Wood);
        AddRod(mesh, {side * 0.3f, 0.62f, 1.25f}, {side * 0.5f, 1.31f, 1.3f}, 0.035f, Wood);
        AddRod(mesh, {side * 0.42f, 0.45f, 2.15f}, {side * 0.55f, 1.31f, 2.15f}, 0.035f, Wood);
    }
    AddWheels(mesh, 2.1f);
    // Tail: stabiliser, fin with the rudder stripes, skid down to the contact point.
    AddSlab(mesh, {{-1.6f, 0.36f, -3.3f}, {1.6f, 0.36f, -3.3f}, {1.4f, 0.36f, -2.7f}, {0.3f, 0.36f, -2.45f},
                   {-0.3f, 0.36f, -2.45f}, {-1.4f, 0.36f, -2.7f}},
            {0, 1, 0}, 0.03f, Fabric, {1, 0, 0}, {0, 0, 1}, Fabric);
    AddSlab(mesh, {{0, 0.38f, -3.45f}, {0, 0.38f, -2.75f}, {0, 0.85f, -3.0f}, {0, 1.2f, -3.3f}, {0, 1.1f, -3.5f}},
            {1, 0, 0}, 0.03f, FinMarkings, {0, 0, 1}, {0, 1, 0}, Fabric);
    AddRod(mesh, {0, 0.1f, -2.95f}, {0, -0.5f, -3.1f}, 0.03f, Wood);
    // The propeller turns on its own bone.
    mesh.bone = 1;
    AddPropellerBlade(mesh, PropellerHub, 1.0f);
    return mesh;
}

Skeleton BiplaneSkeleton() {
    Skeleton skeleton;
    Mat4 toHub = Identity4;
    SetTranslation(toHub, -PropellerHub);
    skeleton.bones.push_back({"body", "NONE", Identity4, 420000.0f});
    skeleton.bones.push_back({"propeller", "body", toHub, 14000.0f});
    // One turn per 10 s cycle, a key every eighth of a turn: keys stay well under a
    // quarter turn apart, so blending between them never collapses the blades.
    AnimationEntry spin{"propeller", 10.0f, {}};
    const int keys = 8;
    for (int k = 0; k < keys; ++k) {
        float angle = -6.2831853f * static_cast<float>(k) / keys;
        spin.keys.push_back({10.0f * k / keys, {{"propeller", TurnZ(angle, PropellerHub)}}});
    }
    skeleton.animations.push_back(spin);
    return skeleton;
}

Mesh BuildTriplane() {
    Mesh mesh;
    AddFuselage(mesh,
                {{-3.2f, 0.04f, 0.05f, 0.35f},
                 {-1.4f, 0.36f, -0.3f, 0.55f},
                 {-0.4f, 0.42f, -0.4f, 0.58f},
                 {1.0f, 0.45f, -0.45f, 0.58f},
                 {2.6f, 0.5f, -0.42f, 0.55f}},
                1);
    AddCowling(mesh, 2.55f, 3.1f, 0.1f, 0.58f, Fabric);
    for (int side = -1; side <= 1; side += 2)
        AddTube(mesh, {side * 0.12f, 0.64f, -0.1f}, {side * 0.12f, 0.64f, 1.7f}, 0.05f, 0.05f, 6, true, Dark);
    // The pilot's leather helmet.
    AddLathe(mesh, {{-1.1f, 0}, {-1.04f, 0.14f}, {-0.9f, 0.2f}, {-0.76f, 0.14f}, {-0.7f, 0}}, 10, 0.8f, 1.0f, Wood);
    // Three wings.
    AddWingHalf(mesh, 1, 0.0f, 3.6f, 1.55f, 0.08f, 0.9f, 2.0f, 0);
    AddWingHalf(mesh, -1, 0.0f, 3.6f, 1.55f, 0.08f, 0.9f, 2.0f, 0);
    AddWingHalf(mesh, 1, 0.44f, 3.4f, 0.5f, 0.08f, 0.7f, 1.8f, 0);
    AddWingHalf(mesh, -1, 0.44f, 3.4f, 0.5f, 0.08f, 0.7f, 1.8f, 0);
    AddWingHalf(mesh, 1, 0.42f, 3.1f, -0.46f, 0.08f, 0.6f, 1.7f, 0);
    AddWingHalf(mesh, -1, 0.42f, 3.1f, -0.46f, 0.08f, 0.6f, 1.7f, 0);
    for (int side = -1; side <= 1; side += 2) {
        AddRod(mesh, {side * 2.6f, -0.42f, 1.15f}, {side * 2.6f, 1.51f, 1.45f}, 0.045f, Wood);
        AddRod(mesh, {side * 0.3f, 0.58f, 1.0f}, {side * 0.45f, 1.51f, 1.2f}, 0.035f, Wood);
        AddRod(mesh, {side * 0.3f, 0.58f, 1.8f}, {side * 0.45f, 1.51f, 1.8f}, 0.035f, Wood);
    }
    AddWheels(mesh, 2.0f);
    AddSlab(mesh, {{-1.3f, 0.34f, -3.2f}, {1.3f, 0.34f, -3.2f}, {0.2f, 0.34f, -2.5f}, {-0.2f, 0.34f, -2.5f}},
            {0, 1, 0}, 0.03f, Fabric, {1, 0, 0}, {0, 0, 1}, Fabric);
    AddSlab(mesh,
            {{0, 0.35f, -3.35f}, {0, 0.35f, -2.9f}, {0, 0.8f, -2.95f}, {0, 1.05f, -3.15f}, {0, 1.0f, -3.45f},
             {0, 0.7f, -3.55f}},
            {1, 0, 0}, 0.03f, FinMarkings, {0, 0, 1}, {0, 1, 0}, Fabric);
    AddRod(mesh, {0, 0.05f, -2.9f}, {0, -0.5f, -3.1f}, 0.03f, Wood);
    // A propeller standing still, caught at an angle.
    size_t first = mesh.vertices.size();
    AddPropellerBlade(mesh, {0, 0, 0}, 0.95f);
    TransformVertices(mesh, first, TurnZ(0.6f, {0, 0.1f, 3.25f}));
    return mesh;
}

}  // namespace

void MakeAircraft(MediaOutput& out) {
    const Scheme camel = {{98, 90, 50, 255},   {212, 198, 158, 255}, {172, 174, 170, 255},
                          {138, 94, 52, 255},  {38, 38, 36, 255},    {26, 22, 20, 255}, true};
    const Scheme ace = {{176, 26, 22, 255},   {150, 24, 20, 255}, {150, 150, 146, 255},
                        {128, 86, 48, 255},   {34, 34, 32, 255},  {24, 20, 18, 255},  false};

    Mesh biplane = BuildBiplane();
    Skeleton skeleton = BiplaneSkeleton();
    SaveFile(out, "biplane.a3f",
             FormatA3f(biplane, TexturedMaterial("camel", "biplane.bmp"),
                       "the player's biplane: body and propeller bones, animation 0 spins the propeller",
                       &skeleton));
    SaveFile(out, "biplane.bmp", EncodeBmp(PaintAtlas(camel, 5101)));

    Mesh triplane = BuildTriplane();
    SaveFile(out, "triplane.a3f",
             FormatA3f(triplane, TexturedMaterial("ace", "triplane.tga"), "the enemy ace's red triplane", nullptr));
    Image triplaneAtlas = PaintAtlas(ace, 5201);
    ReduceColours(triplaneAtlas, 256);
    std::vector<uint8_t> tga;
    if (EncodeColourMappedTga(triplaneAtlas, tga))
        SaveFile(out, "triplane.tga", tga);
    else
        ReportFailure(out, "triplane.tga", "too many colours for a colour map");
}
