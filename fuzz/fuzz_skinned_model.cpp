// Skinned .a3f models: bones, weights and animations on any bytes, then one animation step
// and the skinning, as the game runs them every frame.
#include <cstddef>
#include <cstdint>

#include "app/services.h"
#include "assets/skinned_model.h"

namespace {
void Quiet(const char*, const char*, const char*, void*) {}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SetErrorReportHook(Quiet, nullptr);
    SkinnedModel skinned;
    LoadSkinnedModelFromMemory(skinned, "biplane.a3f", reinterpret_cast<const char*>(data), size);
    if (skinned.animationCount > 0) StartAnimation(skinned, 0);
    UpdateSkinnedModel(skinned, 0.3f);
    UpdateSkinnedModel(skinned, 2.6f);
    if (skinned.skinPositions != nullptr && skinned.model.vertexCount > 0) {
        volatile float sink = skinned.skinPositions[3 * (skinned.model.vertexCount - 1)];
        (void)sink;
    }
    ReleaseSkinnedModel(skinned);
    return 0;
}
