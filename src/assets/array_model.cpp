#include <new>

#include "assets/model.h"
#include "assets/model_text.h"

namespace {

void FreeDrawArrays(ArrayModel& model) {
    delete[] model.positions;
    delete[] model.normals;
    delete[] model.texCoords;
    model.positions = nullptr;
    model.normals = nullptr;
    model.texCoords = nullptr;
}

}  // namespace

void LoadArrayModel(const char* fileName, ArrayModel& model) {
    FreeDrawArrays(model);
    if (!LoadModelFile(fileName, model)) return;
    size_t n = model.vertexCount;
    model.positions = new (std::nothrow) float[3 * n];
    if (model.hasNormals) model.normals = new (std::nothrow) float[3 * n];
    if (model.texture != 0) model.texCoords = new (std::nothrow) float[2 * n];
    if (model.positions == nullptr || (model.hasNormals && model.normals == nullptr) ||
        (model.texture != 0 && model.texCoords == nullptr)) {
        FreeDrawArrays(model);
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
    FreeDrawArrays(model);
    ReleaseModel(model);
}
