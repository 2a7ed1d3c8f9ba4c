#include <new>

#include "assets/model.h"
#include "assets/model_text.h"

bool AllocateVertexArrays(const Model& model, float*& positions, float*& normals, float*& texCoords) {
    const size_t n = model.vertexCount;
    positions = new (std::nothrow) float[3 * n]();
    if (model.hasNormals) normals = new (std::nothrow) float[3 * n]();
    if (model.texture != 0) texCoords = new (std::nothrow) float[2 * n]();
    return positions != nullptr && (!model.hasNormals || normals != nullptr) &&
           (model.texture == 0 || texCoords != nullptr);
}

void FreeVertexArrays(float*& positions, float*& normals, float*& texCoords) {
    delete[] positions;
    delete[] normals;
    delete[] texCoords;
    positions = nullptr;
    normals = nullptr;
    texCoords = nullptr;
}

void LoadArrayModel(const char* fileName, ArrayModel& model) {
    FreeVertexArrays(model.positions, model.normals, model.texCoords);
    if (!LoadModelFile(fileName, model)) return;
    if (!AllocateVertexArrays(model, model.positions, model.normals, model.texCoords)) {
        FreeVertexArrays(model.positions, model.normals, model.texCoords);
        model.visible = 0;
        ReportBadModel(fileName, "out of memory for the drawing arrays");
        return;
    }
    BuildDrawArrays(model);
}

void BuildDrawArrays(ArrayModel& model) {
    if (model.vertices == nullptr || model.positions == nullptr) return;
    for (uint32_t i = 0; i < model.vertexCount; ++i) {
        const Vertex& v = model.vertices[i];
        float* p = model.positions + 3 * static_cast<size_t>(i);
        p[0] = v.position.x;
        p[1] = v.position.y;
        p[2] = v.position.z;
        if (model.hasNormals && model.normals != nullptr) {
            float* n = model.normals + 3 * static_cast<size_t>(i);
            n[0] = v.normal.x;
            n[1] = v.normal.y;
            n[2] = v.normal.z;
        }
        if (model.texture != 0 && model.texCoords != nullptr) {
            float* t = model.texCoords + 2 * static_cast<size_t>(i);
            t[0] = v.u;
            t[1] = v.v;
        }
    }
}

void ReleaseArrayModel(ArrayModel& model) {
    FreeVertexArrays(model.positions, model.normals, model.texCoords);
    ReleaseModel(model);
}
