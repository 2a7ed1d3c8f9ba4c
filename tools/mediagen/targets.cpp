// The mission targets: the German zeppelin (drawn from vertex arrays, crumpled when shot
// down) and the enemy tank, whose sixteenth vertex carries u near 1 so its collapse
// animation (u shrinking by 0.995 a frame until below 0.005) lasts about half a minute.
#include <algorithm>
#include <cmath>

#include "image.h"
#include "media_output.h"
#include "mesh.h"
#include "parts.h"

namespace {

// ---- Zeppelin --------------------------------------------------------------------------
// Hull 100 long along z (nose +z), 11.2 in radius. The rear gondola, where the gun sits,
// hangs around (0, -20, -20). Atlas 128 x 128: rows 0-111 the hull, u around from the top
// toward +x, v from tail (row 0) to nose; rows 112-127 flat cells.
constexpr int BlimpAtlas = 128;

UvRect BlimpCell(int i) { return AtlasCell(16 * i, 112, 16 * i + 16, 128, BlimpAtlas, BlimpAtlas); }

Image PaintBlimp() {
    Image image = MakeImage(BlimpAtlas, BlimpAtlas, {0, 0, 0, 255});
    Noise grain = MakeNoise(8, 7101);
    for (int y = 0; y < 112; ++y)
        for (int x = 0; x < BlimpAtlas; ++x) {
            float u = (x + 0.5f) / BlimpAtlas;
            // Weathered grey doping on top, blackened underneath (the paint of a raider that
            // must not be seen from below by searchlights, and that stands out dark against
            // the sky above a pilot climbing to it); fabric panels between the girders.
            float light = 0.65f + 0.35f * std::cos(u * 6.2831853f);
            float g = SampleNoise(grain, x * 0.2f, y * 0.2f);
            Rgba c = Shade({150, 150, 142, 255}, light * (0.94f + 0.1f * g));
            if (x % 8 == 0) c = Shade(c, 0.8f);
            if (y % 7 == 0) c = Shade(c, 0.86f);
            image.At(x, y) = c;
        }
    // Black crosses on white squares on both flanks, toward the tail. Around the hull there
    // are about 2.8 pixels per unit there, along it 1.1.
    for (float cx : {32.0f, 96.0f}) {
        float cy = 20, rx = 12, ry = 6;
        FillRect(image, static_cast<int>(cx - rx), static_cast<int>(cy - ry), static_cast<int>(cx + rx + 1),
                 static_cast<int>(cy + ry + 1), {232, 230, 224, 255});
        FillRect(image, static_cast<int>(cx - rx * 0.8f), static_cast<int>(cy - ry * 0.22f),
                 static_cast<int>(cx + rx * 0.8f + 1), static_cast<int>(cy + ry * 0.22f + 1), {16, 16, 16, 255});
        FillRect(image, static_cast<int>(cx - rx * 0.22f), static_cast<int>(cy - ry * 0.8f),
                 static_cast<int>(cx + rx * 0.22f + 1), static_cast<int>(cy + ry * 0.8f + 1), {16, 16, 16, 255});
    }
    const Rgba cells[4] = {{70, 72, 70, 255}, {24, 24, 24, 255}, {150, 150, 146, 255}, {120, 84, 48, 255}};
    for (int i = 0; i < 8; ++i) FillRect(image, 16 * i, 112, 16 * i + 16, 128, cells[i % 4]);
    return image;
}

Mesh BuildBlimp() {
    Mesh mesh;
    UvRect hull = AtlasRect(0, 0, 128, 112, BlimpAtlas, BlimpAtlas);
    UvRect car = BlimpCell(0), black = BlimpCell(1), metal = BlimpCell(2), wood = BlimpCell(3);
    AddLathe(mesh,
             {{-50, 0},     {-47, 2.2f},  {-42, 4.8f},  {-35, 7.4f}, {-25, 9.6f}, {-15, 10.8f},
              {-5, 11.2f},  {5, 11.2f},   {15, 11.0f},  {25, 10.4f}, {33, 9.3f},  {39, 7.8f},
              {44, 5.8f},   {47.5f, 3.6f}, {49.5f, 1.6f}, {50, 0}},
             20, 0, 1, hull);
    // Cruciform tail fins.
    for (int k = 0; k < 4; ++k) {
        float angle = 1.5707963f * k;
        Vec3 out = {std::sin(angle), std::cos(angle), 0};
        std::vector<Vec3> fin = {out * 2.7f + Vec3{0, 0, -45.5f}, out * 7.6f + Vec3{0, 0, -34},
                                 out * 13.0f + Vec3{0, 0, -36}, out * 11.0f + Vec3{0, 0, -46.5f}};
        Vec3 n = Cross(out, {0, 0, 1});
        AddSlab(mesh, fin, n, 0.25f, car, {0, 0, 1}, out, car);
    }
    // Rear (gun) gondola and the forward control car, each on four struts.
    AddLathe(mesh, {{-25.5f, 0}, {-24.5f, 1.4f}, {-22, 1.9f}, {-17, 1.9f}, {-15, 1.5f}, {-14, 0}}, 12, -19.3f,
             1.1f, car);
    AddLathe(mesh, {{22, 0}, {23, 1.2f}, {26, 1.6f}, {31, 1.5f}, {33, 1.0f}, {33.6f, 0}}, 12, -12.6f, 1.1f, car);
    for (int side = -1; side <= 1; side += 2) {
        float x = side * 0.8f;
        AddRod(mesh, {x, -17.4f, -23}, {side * 1.6f, -10.0f, -23}, 0.1f, metal);
        AddRod(mesh, {x, -17.4f, -16}, {side * 1.6f, -10.4f, -16}, 0.1f, metal);
        AddRod(mesh, {x, -11.0f, 24}, {side * 1.6f, -9.4f, 24}, 0.1f, metal);
        AddRod(mesh, {x, -11.0f, 31}, {side * 1.6f, -8.6f, 31}, 0.1f, metal);
        // Engine pods with pusher propellers.
        size_t first = mesh.vertices.size();
        AddLathe(mesh, {{-16.5f, 0}, {-16, 0.8f}, {-13, 1.0f}, {-10.5f, 0.7f}, {-10, 0}}, 10, 0, 1, car);
        TransformVertices(mesh, first, TurnY(0, {side * 7.2f, -10.8f, 0}));
        AddRod(mesh, {side * 6.6f, -10.2f, -13}, {side * 5.0f, -8.2f, -13}, 0.12f, metal);
        AddSlab(mesh,
                {{side * 7.2f - 1.8f, -10.9f, -16.8f}, {side * 7.2f + 1.8f, -10.9f, -16.8f},
                 {side * 7.2f + 1.8f, -10.7f, -16.8f}, {side * 7.2f - 1.8f, -10.7f, -16.8f}},
                {0, 0, 1}, 0.05f, wood, {1, 0, 0}, {0, 1, 0}, wood);
    }
    // The gun poking forward out of the rear gondola, and the car's dark windows.
    AddRod(mesh, {0, -20.0f, -16}, {0, -20.0f, -12.8f}, 0.08f, black);
    AddBox(mesh, {-1.62f, -12.6f, 26}, {1.62f, -12.0f, 31}, black);
    return mesh;
}

// ---- Tank ------------------------------------------------------------------------------
// A slab-sided German tank on the ground at y = 0, nose toward +z, 7.5 long, 3.3 wide; the
// machine gun on the cab roof sits at (0, 3, 0). Atlas 128 x 128: rows 0-63 the hull side
// (rear at the left), rows 64-95 the track, rows 96-127 flat cells.
constexpr int TankAtlas = 128;

UvRect TankCell(int i) { return AtlasCell(16 * i, 96, 16 * i + 16, 128, TankAtlas, TankAtlas); }

Image PaintTank() {
    Image image = MakeImage(TankAtlas, TankAtlas, {0, 0, 0, 255});
    Noise camo = MakeNoise(4, 7201);
    Noise grain = MakeNoise(16, 7202);
    // Field grey in patches, dusty and pale: a green, ochre and brown camouflage made the
    // tank one more field from the air, where a pilot has to pick it out at a few pixels.
    const Rgba pale = {176, 174, 164, 255}, grey = {150, 148, 140, 255}, dark = {116, 114, 108, 255};
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < TankAtlas; ++x) {
            float n = SampleNoise(camo, x / 20.0f, y / 14.0f);
            Rgba c = n < 0.4f ? grey : (n < 0.62f ? pale : dark);
            c = Shade(c, 0.9f + 0.15f * SampleNoise(grain, x * 0.5f, y * 0.5f));
            // Plate seams and rivets.
            if (x % 32 == 0 || y % 21 == 0) c = Shade(c, 0.65f);
            if ((x % 32 == 3 || x % 32 == 29) && y % 4 == 2) c = Shade(c, 1.25f);
            image.At(x, y) = c;
        }
    // Vision slits along the top edge and the cross on each side.
    for (int x = 20; x < 108; x += 22) FillRect(image, x, 8, x + 8, 10, {20, 18, 16, 255});
    FillRect(image, 52, 22, 76, 46, {230, 228, 220, 255});
    FillRect(image, 54, 31, 74, 37, {18, 18, 18, 255});
    FillRect(image, 61, 24, 67, 44, {18, 18, 18, 255});
    // Track: muddy links with cross bars.
    for (int y = 64; y < 96; ++y)
        for (int x = 0; x < TankAtlas; ++x) {
            Rgba c = Shade({70, 60, 46, 255}, 0.85f + 0.25f * SampleNoise(grain, x * 0.7f, y * 0.7f));
            if (x % 6 < 2) c = Shade(c, 0.6f);
            image.At(x, y) = c;
        }
    const Rgba cells[6] = {{164, 162, 152, 255}, {40, 40, 38, 255}, {138, 136, 128, 255},
                           {84, 70, 52, 255},   {16, 16, 16, 255}, {156, 152, 140, 255}};
    for (int i = 0; i < 8; ++i) FillRect(image, 16 * i, 96, 16 * i + 16, 128, cells[i % 6]);
    return image;
}

Mesh BuildTank() {
    Mesh mesh;
    UvRect side = AtlasRect(0, 0, 128, 64, TankAtlas, TankAtlas);
    UvRect track = AtlasRect(0, 64, 128, 96, TankAtlas, TankAtlas);
    UvRect roof = TankCell(0), gun = TankCell(1), cab = TankCell(2), mud = TankCell(3), black = TankCell(4);
    // The tracks come first: vertex 15 is the last corner of the right track's top face,
    // which takes the track picture reversed so its u is the picture's right edge (~1).
    BoxUv trackUv = SameUv(track);
    trackUv.face[3] = {track.u1, track.v0, track.u0, track.v1};
    AddBox(mesh, {1.15f, 0, -3.3f}, {1.65f, 0.95f, 3.3f}, trackUv);
    AddBox(mesh, {-1.65f, 0, -3.3f}, {-1.15f, 0.95f, 3.3f}, trackUv);
    // Hull: the side outline pushed out 1.55 either way; its rims are the deck, the
    // sloped front and back plates and the belly.
    AddSlab(mesh,
            {{0, 0.45f, -3.2f}, {0, 0.45f, 3.2f}, {0, 1.35f, 3.75f}, {0, 2.3f, 3.5f}, {0, 2.3f, -3.5f},
             {0, 1.35f, -3.75f}},
            {1, 0, 0}, 1.55f, side, {0, 0, 1}, {0, 1, 0}, roof);
    // Driver's cab with the machine-gun ring on top.
    AddBox(mesh, {-0.85f, 2.3f, -0.4f}, {0.85f, 3.0f, 1.1f}, cab);
    AddBox(mesh, {-0.7f, 2.62f, 1.1f}, {0.7f, 2.72f, 1.12f}, black);
    AddTube(mesh, {0, 3.0f, 0}, {0, 3.15f, 0}, 0.38f, 0.34f, 12, true, gun);
    AddRod(mesh, {0, 3.12f, -0.1f}, {0, 3.12f, 1.0f}, 0.05f, gun);
    // Main gun in the nose, machine guns in the flanks.
    AddBox(mesh, {-0.35f, 1.05f, 3.55f}, {0.35f, 1.65f, 3.85f}, gun);
    AddRod(mesh, {0, 1.35f, 3.8f}, {0, 1.35f, 4.5f}, 0.09f, gun);
    for (int s = -1; s <= 1; s += 2)
        for (float z : {-1.8f, 1.6f}) AddRod(mesh, {s * 1.5f, 1.5f, z}, {s * 1.9f, 1.5f, z + 0.2f}, 0.05f, gun);
    // Mud caked on the track ends.
    for (int s = -1; s <= 1; s += 2)
        for (float z : {-3.3f, 3.3f})
            AddTube(mesh, {s * 1.15f, 0.5f, z}, {s * 1.65f, 0.5f, z}, 0.45f, 0.45f, 8, true, mud);
    return mesh;
}

}  // namespace

void MakeTargets(MediaOutput& out) {
    SaveFile(out, "blimp.a3f",
             FormatA3f(BuildBlimp(), TexturedMaterial("zeppelin", "blimp.tga"),
                       "german zeppelin, nose toward +z, gun gondola at (0 -20 -20)", nullptr));
    // Stored bottom row first under a descriptor of 0, with the pixel order reversed.
    SaveFile(out, "blimp.tga", EncodeTga(PaintBlimp(), false, false, true));

    Mesh tank = BuildTank();
    if (tank.vertices.size() < 16 || tank.vertices[15].u < 0.95f)
        ReportFailure(out, "tank.a3f", "vertex 15 must carry u near 1");
    SaveFile(out, "tank.a3f",
             FormatA3f(tank, TexturedMaterial("armour", "tank.bmp"), "german tank, gun ring at (0 3 0)", nullptr));
    SaveFile(out, "tank.bmp", EncodeBmp(PaintTank()));
}
