// Static .a3f models: the loader on any bytes, then the drawing arrays built from them.
#include <cstddef>
#include <cstdint>

#include "core/services.h"
#include "assets/model.h"

namespace {
void Quiet(const char*, const char*, const char*, void*) {}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SetErrorReportHook(Quiet, nullptr);
    ArrayModel model;
    if (LoadModelFromMemory("fuzz.a3f", reinterpret_cast<const char*>(data), size, model)) {
        // Touch everything the game reads: faces index the vertices, the arrays copy them.
        model.positions = new float[3 * model.vertexCount];
        if (model.hasNormals) model.normals = new float[3 * model.vertexCount];
        BuildDrawArrays(model);
        float sum = 0;
        for (uint32_t f = 0; f < model.faceCount; ++f) {
            const Face& face = model.faces[f];
            sum += model.positions[3 * face.a] + model.positions[3 * face.b + 1] +
                   model.positions[3 * face.c + 2];
        }
        volatile float sink = sum + model.radiusSquared;
        (void)sink;
    }
    ReleaseArrayModel(model);
    return 0;
}
