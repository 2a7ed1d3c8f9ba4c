// Meshes loaded from the game's .a3f text model files.
#pragma once

#include <cstddef>
#include <cstdint>

#include "math/mat4.h"

struct Vertex {
    Vec3 position;
    Vec3 normal;  // as read from the file, not normalised
    float u, v;
};

// One triangle: three 0-based vertex indices, counter-clockwise seen from its front.
struct Face {
    uint32_t a, b, c;
};

// The alpha rule a texture gets at upload (the word after ALPHA in a material).
enum AlphaMode : uint32_t {
    AlphaNone = 0,
    AlphaLuminance = 1,
    AlphaIlluminance = 2,
    AlphaBlackMask = 3,
    AlphaRed = 4,
    AlphaGreen = 5,
    AlphaBlue = 6,
    AlphaRedMask = 7,
    AlphaGreenMask = 8,
    AlphaBlueMask = 9,
    AlphaNumber = 10,  // any other word; its numeric value goes to alphaParam
};

// A model's visible word: 1 after a successful load, 0 for nothing to draw. For the
// zeppelin, the tank and the triplane it doubles as the target's state.
enum TargetState : uint32_t {
    TargetInactive = 0,   // not drawn, not simulated
    TargetAlive = 1,
    TargetDestroyed = 2,  // shot down: the wreck collapses
    TargetCollapsed = 3,  // the collapse is over
};

struct Model {
    Mat4 matrix = Identity4;  // world placement; the modelview matrix when drawn
    Vec3 velocity{};          // used by the falling zeppelin
    Vec3 boundsMin{}, boundsMax{};
    float radiusSquared = 0;  // larger of |boundsMin|^2 and |boundsMax|^2
    uint32_t displayList = 0; // 0 while none

    // The model's single material: every material entry of the file writes these fields.
    char name[260] = "";
    float ambient[4] = {0, 0, 0, 0};
    float diffuse[4] = {0, 0, 0, 0};
    float emission[4] = {0, 0, 0, 0};
    float specular[4] = {0, 0, 0, 0};
    uint32_t shininess = 0;
    bool hasTexture = false;  // a FILE line was read in the current material's TEXTURE block
    uint32_t texture = 0;     // OpenGL texture name; 0 = untextured
    char textureFile[260] = "";
    AlphaMode alphaMode = AlphaNone;
    float alphaParam = 0;

    bool hasNormals = false;
    uint32_t visible = 0;  // a TargetState for the targets (above)
    uint32_t vertexCount = 0;
    Face* faces = nullptr;       // owned
    Vertex* vertices = nullptr;  // owned
    uint32_t faceCount = 0;
};

// A model drawn from vertex arrays every frame (the zeppelin and the tank, whose shapes
// change when they are destroyed).
struct ArrayModel : Model {
    float* positions = nullptr;  // 3 per vertex, always
    float* normals = nullptr;    // 3 per vertex, when hasNormals
    float* texCoords = nullptr;  // 2 per vertex, when texture != 0
};

// Loads media/<fileName> into model and, on success, its texture. False after reporting.
// A failed load leaves the model invisible, without texture, list or drawing arrays.
bool LoadModelFile(const char* fileName, Model& model);
// The parsing half of LoadModelFile on text already in memory (no texture is loaded);
// fileName only names the model in reports.
bool LoadModelFromMemory(const char* fileName, const char* data, size_t size, Model& model);
// texture = the cache's name for textureFile (0 when the name is empty or it fails).
void LoadModelTexture(Model& model);
// LoadModelFile, then the drawing arrays (not allocated on failure).
void LoadArrayModel(const char* fileName, ArrayModel& model);
// Copies the vertices into the drawing arrays, restoring a shape the crash drawing changed.
void BuildDrawArrays(ArrayModel& model);

// The per-vertex arrays a model is drawn from (an array model's and a skinned model's):
// positions always, normals when the model has them, texture coordinates when it has a
// texture; zero-filled. False when memory ran out (what was made is kept for the free).
bool AllocateVertexArrays(const Model& model, float*& positions, float*& normals, float*& texCoords);
void FreeVertexArrays(float*& positions, float*& normals, float*& texCoords);
// Frees the vertex and face arrays and the model's OpenGL objects.
void ReleaseModel(Model& model);
// Frees the drawing arrays, then ReleaseModel.
void ReleaseArrayModel(ArrayModel& model);
