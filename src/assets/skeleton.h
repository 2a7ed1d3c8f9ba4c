// Skeleton helpers shared by the skinned loader and the animation runtime.
#pragma once

#include <new>

#include "assets/skinned_model.h"

// Visits bone, then (recursively) its later siblings, then its children: the order of
// the classic recursive walk "visit b; walk b.nextSibling; continue with b.firstChild",
// done with an explicit stack so a deep or wide tree cannot exhaust the call stack. At
// most limit bones are visited, so even a damaged tree ends. Returns the count visited.
template <typename BoneT, typename Visit>
uint32_t WalkBones(BoneT* bone, uint32_t limit, Visit visit) {
    BoneT* small[64];
    BoneT** stack = small;
    BoneT** heap = nullptr;
    if (limit > 64) {
        heap = new (std::nothrow) BoneT*[limit];
        if (heap == nullptr) return 0;
        stack = heap;
    }
    uint32_t depth = 0, visited = 0;
    for (;;) {
        while (bone != nullptr && visited < limit) {
            visit(bone);
            ++visited;
            stack[depth++] = bone;  // depth never exceeds visited
            bone = bone->nextSibling;
        }
        if (depth == 0 || visited >= limit) break;
        bone = stack[--depth]->firstChild;
    }
    delete[] heap;
    return visited;
}

inline Bone* RootBoneOf(SkinnedModel& skinned) {
    if (skinned.bones == nullptr || skinned.rootBone < 0 ||
        static_cast<uint32_t>(skinned.rootBone) >= skinned.boneCount)
        return nullptr;
    return &skinned.bones[skinned.rootBone];
}

// Frees the bones with their weights (the skeleton is then missing).
void DropSkeleton(SkinnedModel& skinned);
// Frees every animation with its keys and frames.
void FreeAnimations(SkinnedModel& skinned);
// Links parents and children, checks for one root, binds: reports as the loader does.
// False only for a damaged hierarchy that fails the whole load (bones whose parents form
// a cycle, out of reach of the root).
bool BuildSkeleton(SkinnedModel& skinned, const char* fileName);
// Resolves every animation frame's bone name; the first unknown one is reported and
// resolution stops there.
void ResolveAnimationFrames(SkinnedModel& skinned);
