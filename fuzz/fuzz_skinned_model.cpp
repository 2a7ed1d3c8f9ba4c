// Skinned .a3f models: bones, weights and animations on any bytes, then animation steps and
// the skinning, as the game runs them every frame: the blend-in, steps within and across
// the cycle, a step back and a huge one, and the end of a cycle that does not loop.
#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "core/services.h"
#include "assets/skinned_model.h"

namespace {
void Quiet(const char*, const char*, const char*, void*) {}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SetErrorReportHook(Quiet, nullptr);
    SkinnedModel skinned;
    LoadSkinnedModelFromMemory(skinned, "biplane.a3f", reinterpret_cast<const char*>(data), size);
    if (skinned.animationCount > 0) StartAnimation(skinned, static_cast<int>(skinned.animationCount - 1));
    for (float dt : {0.05f, 0.3f, 2.6f, -0.7f, 1.0e6f}) UpdateSkinnedModel(skinned, dt);
    if (skinned.animationCount > 0) {
        StartAnimation(skinned, 0);
        skinned.animations[0].looping = false;
        for (float dt : {0.4f, 5.0f, 0.1f}) UpdateSkinnedModel(skinned, dt);
    }
    if (skinned.skinPositions != nullptr && skinned.model.vertexCount > 0) {
        volatile float sink = skinned.skinPositions[3 * (skinned.model.vertexCount - 1)];
        (void)sink;
    }
    ReleaseSkinnedModel(skinned);
    return 0;
}
