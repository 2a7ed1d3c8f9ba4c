#include "support/terrain_grid.h"

namespace {
constexpr int Cells = 50;
constexpr float CellSize = 1000.0f;
constexpr float Origin = -25000.0f;
}  // namespace

void BuildTerrainGrid(Model& model, HeightFunction height) {
    const int side = Cells + 1;
    model.vertexCount = side * side;
    model.vertices = new Vertex[model.vertexCount];
    for (int row = 0; row < side; ++row) {
        for (int column = 0; column < side; ++column) {
            float x = Origin + column * CellSize;
            float z = Origin + row * CellSize;
            model.vertices[row * side + column] = Vertex{{x, height(x, z), z}, {0, 1, 0}, 0, 0};
        }
    }
    model.faceCount = Cells * Cells * 2;
    model.faces = new Face[model.faceCount];
    for (int row = 0; row < Cells; ++row) {
        for (int column = 0; column < Cells; ++column) {
            uint32_t v00 = row * side + column, v01 = v00 + 1;
            uint32_t v10 = v00 + side, v11 = v10 + 1;
            // Counter-clockwise seen from above.
            model.faces[2 * (row * Cells + column)] = Face{v00, v10, v11};
            model.faces[2 * (row * Cells + column) + 1] = Face{v00, v11, v01};
        }
    }
    model.visible = 1;
}

// The game's own release: the arrays, and the display list when a test drew the grid.
void FreeTerrainGrid(Model& model) { ReleaseModel(model); }

float BaseWithRidge(float, float z) {
    if (z <= 9000.0f) return 630.0f;
    if (z <= 10000.0f) return 630.0f + (z - 9000.0f) * 0.13f;
    if (z <= 11000.0f) return 760.0f - (z - 10000.0f) * 0.13f;
    return 630.0f;
}
