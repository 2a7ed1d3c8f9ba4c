// The landscape: 50 x 50 cells of 1000 units over x, z in [-25000, 25000]. The air base
// sits on a plateau at height 630 whose north edge drops into a valley: an aircraft that
// rolls north from the hangar leaves the ground where the slope falls away. Chalk roads
// and a canal cross the land on the compass points and meet by the base.
#include <algorithm>
#include <cmath>

#include "image.h"
#include "math/random.h"
#include "media_output.h"
#include "mesh.h"

namespace {

constexpr int Cells = 50;
constexpr float CellSize = 1000.0f;
constexpr float Origin = -25000.0f;
constexpr float BaseHeight = 630.0f;

// The flat base: hangar (7600, 6470), runway (x 7800, z 6010..6990), start (7600, 6468).
constexpr float FlatMinX = 5000, FlatMaxX = 10000, FlatMinZ = 4000, FlatMaxZ = 7000;

float SmoothStep(float edge0, float edge1, float x) {
    float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3 - 2 * t);
}

float Bump(float x, float z, float cx, float cz, float radius) {
    float dx = (x - cx) / radius, dz = (z - cz) / radius;
    return std::exp(-(dx * dx + dz * dz));
}

// Height of the open country, before the base is levelled into it.
float CountryHeight(const Noise& noise, float x, float z) {
    float u = (x - Origin) / (Cells * CellSize), v = (z - Origin) / (Cells * CellSize);
    float n = TiledFractal(noise, u, v, 4);
    float h = 650.0f + 1800.0f * (n - 0.5f);
    // Mountains toward the edge of the world.
    float edge = SmoothStep(14000.0f, 25000.0f, std::max(std::fabs(x), std::fabs(z)));
    h += edge * (1000.0f + 1000.0f * n);
    // The valley north of the base, running east-west.
    float valley = std::exp(-std::pow((z - 9000.0f) / 2500.0f, 2.0f)) *
                   std::exp(-std::pow((x - 7500.0f) / 7000.0f, 4.0f));
    float floorHeight = 120.0f + 80.0f * std::pow((z - 9000.0f) / 1000.0f, 2.0f);
    h = h + (floorHeight - h) * valley;
    // A gentle hill east of the base and a higher one beyond the valley.
    h += 380.0f * Bump(x, z, 12500.0f, 6000.0f, 1600.0f);
    h += 500.0f * Bump(x, z, 6500.0f, 14500.0f, 2200.0f);
    return std::max(h, 60.0f);
}

float VertexHeight(const Noise& noise, float x, float z) {
    // Distance to the base, with the north side counted 2.5 times so the plateau ends there
    // in a short slope instead of a long blend.
    float dx = std::max({FlatMinX - x, 0.0f, x - FlatMaxX});
    float dzSouth = std::max(FlatMinZ - z, 0.0f), dzNorth = std::max(z - FlatMaxZ, 0.0f) * 2.5f;
    float d = std::sqrt(dx * dx + dzSouth * dzSouth + dzNorth * dzNorth);
    if (d == 0.0f) return BaseHeight;
    float w = SmoothStep(0.0f, 2500.0f, d);
    return BaseHeight + (CountryHeight(noise, x, z) - BaseHeight) * w;
}

// Where the picture holds the road's chalk and the canal's water: 2 x 2 pixels each, just
// above and left of these points, sampled at them (the linear filter blends exactly those
// four). The picture is compressed with colour for every pixel and little loss, and the
// patches are painted a little off their colour (redder, bluer) so that what comes back
// through the fields' green around them is the road's (202, 203, 174) and the water's
// (126, 140, 165).
constexpr int YardX = 96, YardY = 16, PondX = 352, PondY = 400;
const Rgba Chalk = {218, 194, 192, 255}, Water = {122, 146, 164, 255};

// Farmland: four square blocks bounded by hedgerows, each cut into a few fields of
// grass, crops or ploughed earth. Every block edge is a hedge, so cells may show the
// picture shifted by half a picture or mirrored and still meet their neighbours along
// hedges; the picture tiles in both directions.
struct Field {
    int x0, y0, x1, y1;  // within a block
    Rgba colour;
    int furrows;  // 0 none, 1 along x, 2 along y
};

Image FieldsTexture() {
    const int size = 512, block = size / 2;
    Noise warp = MakeNoise(4, 4101);
    Noise grain = MakeNoise(32, 4102);
    const Rgba grass[] = {{92, 128, 52, 255}, {104, 136, 58, 255}, {80, 114, 46, 255}, {96, 122, 50, 255}};
    const Rgba crop = {150, 146, 78, 255}, earth = {118, 92, 60, 255}, pasture = {70, 102, 44, 255};
    SeedRand(4103);
    std::vector<Field> fields[4];
    for (int b = 0; b < 4; ++b) {
        // One cut across, then each half cut the other way, sometimes twice.
        int cut = 80 + Rand() % 96;
        int a = 70 + Rand() % 116, c = 70 + Rand() % 116;
        std::vector<Field> parts = {{0, 0, cut, a, {}, 0}, {0, a, cut, block, {}, 0},
                                    {cut, 0, block, c, {}, 0}, {cut, c, block, block, {}, 0}};
        if (Rand() % 2 == 0) {
            Field f = parts[3];
            int d = f.x0 + (f.x1 - f.x0) / 3 + Rand() % ((f.x1 - f.x0) / 3);
            parts[3].x1 = d;
            parts.push_back({d, f.y0, f.x1, f.y1, {}, 0});
        }
        if (b % 2 == 1) {
            // Turn the block's pattern a quarter so neighbouring blocks differ in shape.
            for (Field& f : parts) f = {f.y0, f.x0, f.y1, f.x1, {}, 0};
        }
        for (Field& f : parts) {
            int kind = Rand() % 8;
            if (kind < 4) {
                f.colour = grass[kind];
            } else if (kind == 4 || kind == 5) {
                f.colour = kind == 4 ? earth : crop;
                f.furrows = 1 + Rand() % 2;
            } else {
                f.colour = kind == 6 ? pasture : crop;
            }
        }
        fields[b] = parts;
    }
    Image image = MakeImage(size, size, {0, 0, 0, 255});
    const Rgba hedge = {44, 70, 30, 255};
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float u = (x + 0.5f) / size, v = (y + 0.5f) / size;
            int b = (y / block) * 2 + x / block;
            float bx = static_cast<float>(x % block) + 0.5f, by = static_cast<float>(y % block) + 0.5f;
            // Inner field edges wander a little; the block edges stay straight.
            float wx = bx + 10.0f * (TiledFractal(warp, u, v, 2) - 0.5f);
            float wy = by + 10.0f * (TiledFractal(warp, v + 0.37f, u + 0.61f, 2) - 0.5f);
            const Field* inside = &fields[b][0];
            for (const Field& f : fields[b])
                if (wx >= f.x0 && wx < f.x1 && wy >= f.y0 && wy < f.y1) inside = &f;
            float edge = std::min({wx - inside->x0, inside->x1 - wx, wy - inside->y0, inside->y1 - wy});
            edge = std::min({edge, bx, block - bx, by, block - by});
            Rgba c = inside->colour;
            if (inside->furrows != 0) {
                float along = inside->furrows == 1 ? by : bx;
                c = Shade(c, 0.88f + 0.2f * (0.5f + 0.5f * std::sin(along * 1.4f)));
            }
            float g = TiledFractal(grain, u, v, 3);
            c = Shade(c, 0.82f + 0.36f * g);
            if (edge < 3.0f) c = Mix(hedge, c, std::max(edge - 1.0f, 0.0f) / 2.0f * 0.6f);
            image.At(x, y) = c;
        }
    // Trees along the hedges.
    for (int b = 0; b < 4; ++b)
        for (const Field& f : fields[b]) {
            if (Rand() % 3 == 0) continue;
            int ox = (b % 2) * block, oy = (b / 2) * block;
            int count = 2 + Rand() % 4;
            for (int k = 0; k < count; ++k) {
                float t = static_cast<float>(Rand()) / RandMax;
                bool alongX = Rand() % 2 == 0;
                float tx = alongX ? f.x0 + t * (f.x1 - f.x0) : static_cast<float>(f.x0);
                float ty = alongX ? static_cast<float>(f.y0) : f.y0 + t * (f.y1 - f.y0);
                float r = 3.0f + static_cast<float>(Rand() % 3);
                FillCircle(image, ox + tx + 1, oy + ty + 2, r, {30, 48, 24, 140});
                FillCircle(image, ox + tx, oy + ty, r, {50, 80, 34, 255});
            }
        }
    // A chalk pit and a puddle, 4 units across: they give the road and the canal their
    // colours, and are too small to be taken for the tank from the air.
    FillRect(image, YardX - 1, YardY - 1, YardX + 1, YardY + 1, Chalk);
    FillRect(image, PondX - 1, PondY - 1, PondX + 1, PondY + 1, Water);
    return image;
}

// ---- Landmarks ---------------------------------------------------------------------------
// Straight lines lead home across the land: a pale chalk road from the land's end in the
// north to the land's end in the south, in the hangar's line (x 7600) up to its doors; a
// canal running east and west across the open country, carried on to the land's end as a
// road; and a road from the far south-west, the side of the land farthest from the base.
// They meet at a crossroads where the road bridges the canal, 670 south of the hangar. From
// far up a road reads as a line that tells the heading by its direction, and the canal,
// water-grey, tells east from north. No point of the 30000 x 30000 square around the
// land's middle lies more than about 9300 from one of them.
//
// They are drawn, never collided with. A cell they pass through keeps its two faces of the
// collision grid, unchanged in position but turned away (culled: the ground query does not
// care which way a face is wound), and is drawn instead by faces after the grid: the same
// two triangles cut along the landmarks' edges, each piece in the triangle's own plane. So
// nothing lies above the fields to fight them for depth at any range or depth precision,
// and the drawn surface stays the ground the aircraft rolls on. Road and water take one
// point each of the fields picture (a farmyard's chalk, a pond's water), so they show in
// one flat colour at every range: the terrain has no mipmaps. Each cut cell costs about ten
// faces, so the lines are few.
constexpr float CrossX = 7600.0f, CrossZ = 5800.0f;
constexpr float RoadHalfWidth = 20.0f, CanalHalfWidth = 28.0f;
// The canal keeps to the open country, out of the mountains at the world's edge.
constexpr int CanalFirstColumn = 9, CanalLastColumn = 40;
constexpr float InvSqrt2 = 0.70710678f;

enum class Ground { Fields, Road, Canal };

// One corner of a drawn piece: position, shading normal and the fields picture's (u, v).
struct GroundPoint {
    Vec3 p, n;
    float u, v;
};
using Piece = std::vector<GroundPoint>;

// A straight cut: the points where nx x + nz z = at. A cut along x or z keeps that
// coordinate exact where it meets an edge.
struct Cut {
    float nx, nz, at;
};

float Side(const GroundPoint& g, const Cut& cut) { return cut.nx * g.p.x + cut.nz * g.p.z - cut.at; }

// The landmarks, in the one order every cell applies their cuts (each its two edges): a
// middle line, and the side of the crossroads it lies on (`reach`: where reach.nx x +
// reach.nz z < reach.at, or everywhere when that is infinite).
struct Landmark {
    Cut middle;
    float halfWidth;
    Ground ground;
    Cut reach;
};
constexpr float Everywhere = 1e30f;
const Landmark Landmarks[] = {
    {{1, 0, CrossX}, RoadHalfWidth, Ground::Road, {0, 0, Everywhere}},
    {{InvSqrt2, -InvSqrt2, (CrossX - CrossZ) * InvSqrt2}, RoadHalfWidth, Ground::Road, {1, 1, CrossX + CrossZ}},
    {{0, 1, CrossZ}, CanalHalfWidth, Ground::Canal, {0, 0, Everywhere}},
};

// The point where the edge a-b meets the cut, interpolated from the end that comes first
// in (x, z): both pieces beside the edge, and the neighbouring cell across it, get the very
// same numbers, so no crack opens between them.
GroundPoint OnCut(GroundPoint a, GroundPoint b, const Cut& cut) {
    if (b.p.x < a.p.x || (b.p.x == a.p.x && b.p.z < a.p.z)) std::swap(a, b);
    float t = Side(a, cut) / (Side(a, cut) - Side(b, cut));
    GroundPoint g = {a.p + (b.p - a.p) * t, a.n + (b.n - a.n) * t, a.u + (b.u - a.u) * t, a.v + (b.v - a.v) * t};
    if (cut.nz == 0.0f) g.p.x = cut.at;
    if (cut.nx == 0.0f) g.p.z = cut.at;
    return g;
}

// Splits a convex piece by the cut; either side may come back empty. Corners keep their
// order, so both halves keep the winding.
void SplitPiece(const Piece& piece, const Cut& cut, Piece& below, Piece& above) {
    below.clear();
    above.clear();
    for (size_t i = 0; i < piece.size(); ++i) {
        const GroundPoint& a = piece[i];
        const GroundPoint& b = piece[(i + 1) % piece.size()];
        float da = Side(a, cut), db = Side(b, cut);
        if (da <= 0.0f) below.push_back(a);
        if (da >= 0.0f) above.push_back(a);
        if ((da < 0.0f && db > 0.0f) || (da > 0.0f && db < 0.0f)) {
            GroundPoint g = OnCut(a, b, cut);
            below.push_back(g);
            above.push_back(g);
        }
    }
    if (below.size() < 3) below.clear();
    if (above.size() < 3) above.clear();
}

int ColumnOf(float x) { return static_cast<int>(std::floor((x - Origin) / CellSize)); }

bool Reaches(const Landmark& l, float x, float z) { return l.reach.nx * x + l.reach.nz * z < l.reach.at; }

Ground GroundAt(float x, float z) {
    Ground found = Ground::Fields;
    for (const Landmark& l : Landmarks) {
        if (std::fabs(l.middle.nx * x + l.middle.nz * z - l.middle.at) >= l.halfWidth || !Reaches(l, x, z)) continue;
        // The road bridges the canal; beyond the open country the canal goes on as a road.
        if (l.ground == Ground::Road) return Ground::Road;
        const int column = ColumnOf(x);
        found = column >= CanalFirstColumn && column <= CanalLastColumn ? Ground::Canal : Ground::Road;
    }
    return found;
}

// The cuts through cell (row j, column i): every landmark edge that crosses the cell where
// the landmark reaches. A cut runs on across the cell where its landmark ends.
std::vector<Cut> CellCuts(int j, int i) {
    const float x0 = Origin + i * CellSize, z0 = Origin + j * CellSize;
    std::vector<Cut> cuts;
    for (const Landmark& l : Landmarks) {
        bool reached = false;
        for (float x : {x0, x0 + CellSize})
            for (float z : {z0, z0 + CellSize}) reached = reached || Reaches(l, x, z);
        if (!reached) continue;
        for (float offset : {-l.halfWidth, l.halfWidth}) {
            Cut cut = {l.middle.nx, l.middle.nz, l.middle.at + offset};
            float low = 1e30f, high = -1e30f;
            for (float x : {x0, x0 + CellSize})
                for (float z : {z0, z0 + CellSize}) {
                    float d = cut.nx * x + cut.nz * z - cut.at;
                    low = std::min(low, d), high = std::max(high, d);
                }
            if (low < 0.0f && high > 0.0f) cuts.push_back(cut);
        }
    }
    return cuts;
}

// Adds the drawn pieces of one grid triangle, cut by the landmarks.
void AddCutTriangle(Mesh& mesh, const Piece& triangle, const std::vector<Cut>& cuts) {
    std::vector<Piece> pieces = {triangle}, next;
    Piece below, above;
    for (const Cut& cut : cuts) {
        next.clear();
        for (const Piece& piece : pieces) {
            SplitPiece(piece, cut, below, above);
            if (!below.empty()) next.push_back(below);
            if (!above.empty()) next.push_back(above);
        }
        pieces.swap(next);
    }
    const float texel = 1.0f / 512.0f;
    for (const Piece& piece : pieces) {
        float cx = 0, cz = 0;
        for (const GroundPoint& g : piece) {
            cx += g.p.x;
            cz += g.p.z;
        }
        Ground ground = GroundAt(cx / piece.size(), cz / piece.size());
        std::vector<uint32_t> corners;
        for (const GroundPoint& g : piece) {
            float u = g.u, v = g.v;
            if (ground == Ground::Road) u = YardX * texel, v = YardY * texel;
            if (ground == Ground::Canal) u = PondX * texel, v = PondY * texel;
            corners.push_back(AddVertex(mesh, g.p, g.n, u, v));
        }
        for (size_t k = 1; k + 1 < corners.size(); ++k) AddFace(mesh, corners[0], corners[k], corners[k + 1]);
    }
}

}  // namespace

void MakeTerrain(MediaOutput& out) {
    Noise noise = MakeNoise(6, 4001);
    const int n = Cells + 1;
    std::vector<float> height(static_cast<size_t>(n) * n);
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i)
            height[static_cast<size_t>(j) * n + i] = VertexHeight(noise, Origin + i * CellSize, Origin + j * CellSize);
    auto h = [&](int i, int j) {
        i = std::clamp(i, 0, Cells);
        j = std::clamp(j, 0, Cells);
        return height[static_cast<size_t>(j) * n + i];
    };

    Mesh mesh;
    std::vector<Vec3> normals(static_cast<size_t>(n) * n);
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            float dhdx = (h(i + 1, j) - h(i - 1, j)) / ((std::min(i + 1, Cells) - std::max(i - 1, 0)) * CellSize);
            float dhdz = (h(i, j + 1) - h(i, j - 1)) / ((std::min(j + 1, Cells) - std::max(j - 1, 0)) * CellSize);
            Vec3 normal = {-dhdx, 1.0f, -dhdz};
            Normalize(normal);
            normals[static_cast<size_t>(j) * n + i] = normal;
        }
    // Every cell has its own four corners so it can show the farmland picture shifted by
    // half a picture and mirrored, in one of 16 ways: the fields do not repeat cell after
    // cell. Cell (row j along z, column i along x) owns faces 2 (j * 50 + i) and the next.
    // A cell that a landmark cuts keeps its grid faces for the ground query, turned away
    // (and their normals with them); its drawn pieces follow the grid.
    SeedRand(4002);
    std::vector<std::pair<std::vector<Cut>, Piece>> drawnLater;
    for (int j = 0; j < Cells; ++j)
        for (int i = 0; i < Cells; ++i) {
            int variant = Rand() % 16;
            float shiftU = (variant & 1) ? 0.5f : 0.0f, shiftV = (variant & 2) ? 0.5f : 0.0f;
            bool mirrorU = (variant & 4) != 0, mirrorV = (variant & 8) != 0;
            std::vector<Cut> cuts = CellCuts(j, i);
            const bool cut = !cuts.empty();
            GroundPoint point[2][2];
            uint32_t corner[2][2];
            for (int dj = 0; dj < 2; ++dj)
                for (int di = 0; di < 2; ++di) {
                    int gi = i + di, gj = j + dj;
                    float u = shiftU + static_cast<float>(mirrorU ? 1 - di : di);
                    float v = shiftV + static_cast<float>(mirrorV ? 1 - dj : dj);
                    point[dj][di] = {{Origin + gi * CellSize, h(gi, gj), Origin + gj * CellSize},
                                     normals[static_cast<size_t>(gj) * n + gi], u, v};
                    const GroundPoint& g = point[dj][di];
                    corner[dj][di] = AddVertex(mesh, g.p, cut ? -g.n : g.n, u, v);
                }
            if (cut) {
                AddFace(mesh, corner[0][0], corner[0][1], corner[1][0]);
                AddFace(mesh, corner[0][1], corner[1][1], corner[1][0]);
                drawnLater.push_back({cuts, {point[0][0], point[1][0], point[0][1]}});
                drawnLater.push_back({cuts, {point[0][1], point[1][0], point[1][1]}});
            } else {
                AddFace(mesh, corner[0][0], corner[1][0], corner[0][1]);
                AddFace(mesh, corner[0][1], corner[1][0], corner[1][1]);
            }
        }
    for (const auto& [cuts, triangle] : drawnLater) AddCutTriangle(mesh, triangle, cuts);
    Material material = TexturedMaterial("fields", "terrain.jpg");
    SaveFile(out, "terrain.a3f",
             FormatA3f(mesh, material, "rolling country with the air base plateau at height 630", nullptr));
    SaveFile(out, "terrain.jpg", EncodeJpeg(FieldsTexture(), 95, true));
}
