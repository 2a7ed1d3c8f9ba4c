#include "assets/skeleton.h"

#include <algorithm>
#include <cstring>

#include "core/services.h"
#include "assets/model_text.h"

namespace {

// Bone indices sorted by name (ties by index), so a name resolves to its first bone in
// logarithmic time: a file may hold thousands of bones and many frames naming them.
struct BoneNames {
    const Bone* bones = nullptr;
    uint32_t count = 0;
    uint32_t* order = nullptr;
};

BoneNames MakeBoneNames(const SkinnedModel& skinned) {
    BoneNames names;
    names.bones = skinned.bones;
    if (skinned.bones == nullptr) return names;
    names.count = skinned.boneCount;
    names.order = new (std::nothrow) uint32_t[names.count];
    if (names.order == nullptr) return names;  // falls back to the linear search
    for (uint32_t i = 0; i < names.count; ++i) names.order[i] = i;
    const Bone* bones = names.bones;
    std::sort(names.order, names.order + names.count, [bones](uint32_t a, uint32_t b) {
        int c = std::strcmp(bones[a].name, bones[b].name);
        return c < 0 || (c == 0 && a < b);
    });
    return names;
}

int32_t FindName(const BoneNames& names, const SkinnedModel& skinned, const char* name) {
    if (names.bones == nullptr) return -1;
    if (names.order == nullptr) return FindBone(skinned, name);
    const Bone* bones = names.bones;
    uint32_t* it = std::lower_bound(names.order, names.order + names.count, name,
                                    [bones](uint32_t i, const char* key) {
                                        return std::strcmp(bones[i].name, key) < 0;
                                    });
    if (it == names.order + names.count || std::strcmp(bones[*it].name, name) != 0) return -1;
    return static_cast<int32_t>(*it);
}

void FreeBoneNames(BoneNames& names) {
    delete[] names.order;
    names.order = nullptr;
}

}  // namespace

int32_t FindBone(const SkinnedModel& skinned, const char* name) {
    if (skinned.bones == nullptr) return -1;
    for (uint32_t i = 0; i < skinned.boneCount; ++i)
        if (std::strcmp(skinned.bones[i].name, name) == 0) return static_cast<int32_t>(i);
    return -1;
}

void DropSkeleton(SkinnedModel& skinned) {
    if (skinned.bones != nullptr)
        for (uint32_t i = 0; i < skinned.boneCount; ++i) delete[] skinned.bones[i].weights;
    delete[] skinned.bones;
    skinned.bones = nullptr;
    skinned.boneCount = 0;
    skinned.rootBone = -1;
}

void FreeAnimations(SkinnedModel& skinned) {
    if (skinned.animations != nullptr) {
        for (uint32_t a = 0; a < skinned.animationCount; ++a) {
            Animation& anim = skinned.animations[a];
            if (anim.keys == nullptr) continue;
            for (int32_t k = 0; k < anim.keyCount; ++k) delete[] anim.keys[k].frames;
            delete[] anim.keys;
        }
    }
    delete[] skinned.animations;
    skinned.animations = nullptr;
    skinned.animationCount = 0;
}

void BindBones(SkinnedModel& skinned, Bone* bone) {
    WalkBones(bone, skinned.boneCount, [](Bone* b) {
        if (b->parent != nullptr) AffineMultiply(b->inverseBind, b->offset, b->parent->inverseBind);
        else b->inverseBind = b->offset;
        b->world = b->inverseBind;
        Invert4(b->world);
    });
}

bool BuildSkeleton(SkinnedModel& skinned, const char* fileName) {
    skinned.rootBone = -1;
    if (skinned.bones == nullptr) return true;
    uint32_t count = skinned.boneCount;
    Bone** lastChild = new (std::nothrow) Bone*[count > 0 ? count : 1]();
    if (lastChild == nullptr) {
        ReportBadModel(fileName, "out of memory for the skeleton");
        return false;
    }
    BoneNames names = MakeBoneNames(skinned);
    uint32_t roots = 0;
    int32_t root = -1;
    bool dropped = false;
    for (uint32_t i = 0; i < count; ++i) {
        Bone& bone = skinned.bones[i];
        if (std::strcmp(bone.parentName, "NONE") == 0) {
            ++roots;
            root = static_cast<int32_t>(i);  // the last root wins
            continue;
        }
        int32_t p = FindName(names, skinned, bone.parentName);
        if (p < 0) {
            ShowError("Bone name not found:", fileName);
            dropped = true;
            break;
        }
        Bone& parent = skinned.bones[p];
        bone.parent = &parent;
        // Children keep file order: each new one goes at the end of the sibling chain.
        if (parent.firstChild == nullptr) parent.firstChild = &bone;
        else lastChild[p]->nextSibling = &bone;
        lastChild[p] = &bone;
    }
    FreeBoneNames(names);
    delete[] lastChild;

    if (!dropped && root < 0) {
        ShowError("Bad bone heirarchy, no root frame:", fileName);
        dropped = true;
    } else if (!dropped && roots > 1) {
        ShowError("Bad bone heirarchy, more than one root frame.", fileName);
        dropped = true;
    }
    if (dropped) {
        DropSkeleton(skinned);
        return true;
    }
    skinned.rootBone = root;
    // Every bone hangs below the one root unless some parents form a cycle apart from it;
    // such bones would never move or skin their vertices.
    if (WalkBones(RootBoneOf(skinned), count, [](Bone*) {}) != count) {
        ReportBadModel(fileName, "bone parents form a cycle");
        return false;
    }
    BindBones(skinned, RootBoneOf(skinned));
    return true;
}

void ResolveAnimationFrames(SkinnedModel& skinned) {
    if (skinned.animations == nullptr) return;
    BoneNames names = MakeBoneNames(skinned);
    for (uint32_t a = 0; a < skinned.animationCount; ++a) {
        Animation& anim = skinned.animations[a];
        for (int32_t k = 0; k < anim.keyCount; ++k) {
            AnimKey& key = anim.keys[k];
            for (int32_t f = 0; f < key.frameCount; ++f) {
                AnimFrame& frame = key.frames[f];
                frame.bone = FindName(names, skinned, frame.boneName);
                if (frame.bone < 0) {
                    ShowError("Bad animation frame name:", frame.boneName);
                    FreeBoneNames(names);
                    return;
                }
            }
        }
    }
    FreeBoneNames(names);
}
