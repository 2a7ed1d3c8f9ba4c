#include <cstring>
#include <new>

#include "core/services.h"
#include "assets/model_text.h"
#include "assets/skeleton.h"

namespace {

// Least bytes a complete record can take in the file: words and numbers of at least one
// character, each after the blank (or sign) that separates it from the one before.
constexpr size_t BoneEntryBytes = 2;     // "}"
constexpr size_t WeightBytes = 4;        // index and weight
constexpr size_t AnimationBytes = 9;     // keyword, "{", name, length, key count
constexpr size_t KeyBytes = 6;           // keyword, "{", time, frame count
constexpr size_t FrameBytes = 2 * 3 + 2 * 16;  // keyword, "{", bone name, sixteen numbers

enum class SkinnedRead { Done, Stop, Failed };

void FreeSkinArrays(SkinnedModel& skinned) {
    FreeVertexArrays(skinned.skinPositions, skinned.skinNormals, skinned.skinTexCoords);
}

void FreeSkinnedParts(SkinnedModel& skinned) {
    DropSkeleton(skinned);
    FreeAnimations(skinned);
    FreeSkinArrays(skinned);
    skinned.currentAnimation = -1;
    skinned.finished = false;
}

void ReadMatrix(ModelText& text, Mat4& m) {
    for (int i = 0; i < 16; ++i) m[i] = ReadFloat(text);
}

bool ReadWeights(ModelText& text, const char* fileName, Bone& bone) {
    char word[ModelWordSize];
    ReadWordThen(text, word, sizeof word, '{');
    uint32_t count = ReadUnsigned(text);
    // A second VERTEX_WEIGHTS of the same bone replaces the first.
    delete[] bone.weights;
    bone.weights = nullptr;
    bone.weightCount = 0;
    if (!ClaimRecords(text, count, WeightBytes)) {
        ReportBadModel(fileName, "more vertex weights than the file holds");
        return false;
    }
    bone.weights = new (std::nothrow) VertexWeight[count]();
    if (bone.weights == nullptr) {
        ReportBadModel(fileName, "out of memory for the vertex weights");
        return false;
    }
    bone.weightCount = count;
    for (uint32_t i = 0; i < count; ++i) {
        bone.weights[i].vertex = ReadUnsigned(text);
        bone.weights[i].weight = ReadFloat(text);
    }
    // Normally takes the weights' "}" and the bone entry's "}" together.
    ReadWordThen(text, word, sizeof word, '}');
    return true;
}

bool ReadBoneEntry(ModelText& text, const char* fileName, Bone& bone) {
    char word[ModelWordSize];
    if (!ReadWord(text, word, sizeof word) || Is(word, "}")) return true;  // the entry's "{"
    while (ReadWord(text, word, sizeof word) && !Is(word, "}")) {
        if (Is(word, "NAME")) {
            ReadWord(text, bone.name, sizeof bone.name);
        } else if (Is(word, "PARENT")) {
            ReadWord(text, bone.parentName, sizeof bone.parentName);
        } else if (Is(word, "MATRIX")) {
            ReadMatrix(text, bone.offset);
            bone.world = bone.offset;
            Invert4(bone.world);
            bone.pose = bone.world;
        } else if (Is(word, "GRAMS")) {
            bone.grams = ReadFloat(text);
        } else if (Is(word, "VERTEX_WEIGHTS")) {
            return ReadWeights(text, fileName, bone);  // the last field: it ends the entry
        }
    }
    return true;
}

bool ReadBonesSection(ModelText& text, const char* fileName, SkinnedModel& skinned) {
    DropSkeleton(skinned);  // a later BONES section replaces an earlier one
    uint32_t count = ReadUnsigned(text);
    if (count > MaxBones) {
        ReportBadModel(fileName, "more bones than a skeleton may have");
        return false;
    }
    if (!ClaimRecords(text, count, BoneEntryBytes)) {
        ReportBadModel(fileName, "more bones than the file holds");
        return false;
    }
    skinned.bones = new (std::nothrow) Bone[count]();
    if (skinned.bones == nullptr) {
        ReportBadModel(fileName, "out of memory for the bones");
        return false;
    }
    skinned.boneCount = count;
    for (uint32_t i = 0; i < count; ++i) {
        skinned.bones[i].index = i;
        if (!ReadBoneEntry(text, fileName, skinned.bones[i])) return false;
    }
    return true;
}

bool ReadFrames(ModelText& text, const char* fileName, AnimKey& key) {
    uint32_t count = ReadUnsigned(text);
    if (!ClaimRecords(text, count, FrameBytes)) {
        ReportBadModel(fileName, "more animation frames than the file holds");
        return false;
    }
    key.frames = new (std::nothrow) AnimFrame[count]();
    if (key.frames == nullptr) {
        ReportBadModel(fileName, "out of memory for the animation frames");
        return false;
    }
    key.frameCount = static_cast<int32_t>(count);
    char word[ModelWordSize];
    for (uint32_t f = 0; f < count; ++f) {
        AnimFrame& frame = key.frames[f];
        frame.bone = -1;
        ReadWord(text, word, sizeof word);  // ANIM_FRAME
        ReadWordThen(text, word, sizeof word, '{');
        ReadWord(text, frame.boneName, sizeof frame.boneName);
        ReadMatrix(text, frame.matrix);
        SkipToClose(text);
    }
    return true;
}

bool ReadAnimation(ModelText& text, const char* fileName, Animation& anim) {
    char word[ModelWordSize];
    ReadWord(text, word, sizeof word);  // ANIMATION
    ReadWordThen(text, word, sizeof word, '{');
    ReadWord(text, anim.name, sizeof anim.name);
    anim.length = ReadFloat(text);
    uint32_t count = ReadUnsigned(text);
    if (!ClaimRecords(text, count, KeyBytes)) {
        ReportBadModel(fileName, "more animation keys than the file holds");
        return false;
    }
    anim.keys = new (std::nothrow) AnimKey[count]();
    if (anim.keys == nullptr) {
        ReportBadModel(fileName, "out of memory for the animation keys");
        return false;
    }
    anim.keyCount = static_cast<int32_t>(count);
    for (uint32_t k = 0; k < count; ++k) {
        AnimKey& key = anim.keys[k];
        ReadWord(text, word, sizeof word);  // ANIM_KEY
        ReadWordThen(text, word, sizeof word, '{');
        key.time = ReadFloat(text);
        if (!ReadFrames(text, fileName, key)) return false;
        SkipToClose(text);
    }
    SkipToClose(text);
    return true;
}

bool ReadAnimationsSection(ModelText& text, const char* fileName, SkinnedModel& skinned) {
    FreeAnimations(skinned);  // a later ANIMATIONS section replaces an earlier one
    uint32_t count = ReadUnsigned(text);
    if (!ClaimRecords(text, count, AnimationBytes)) {
        ReportBadModel(fileName, "more animations than the file holds");
        return false;
    }
    skinned.animations = new (std::nothrow) Animation[count]();
    if (skinned.animations == nullptr) {
        ReportBadModel(fileName, "out of memory for the animations");
        return false;
    }
    skinned.animationCount = count;
    for (uint32_t a = 0; a < count; ++a)
        if (!ReadAnimation(text, fileName, skinned.animations[a])) return false;
    return true;
}

// The second pass over the file: only COMMENT, BONES and ANIMATIONS are sections here;
// every other word, the static sections' included, is skipped one by one.
SkinnedRead ReadSkinnedSections(ModelText& text, const char* fileName, SkinnedModel& skinned) {
    char word[ModelWordSize] = "";
    if (!ReadWord(text, word, sizeof word) || !Is(word, "A3F")) {
        ShowError("Not an .a3f file:", fileName);
        return SkinnedRead::Stop;
    }
    while (ReadWordThen(text, word, sizeof word, '{')) {
        if (Is(word, "COMMENT")) {
            SkipToClose(text);
        } else if (Is(word, "BONES")) {
            if (!ReadBonesSection(text, fileName, skinned)) return SkinnedRead::Failed;
        } else if (Is(word, "ANIMATIONS")) {
            if (!ReadAnimationsSection(text, fileName, skinned)) return SkinnedRead::Failed;
        }
    }
    return SkinnedRead::Done;
}

// What the runtime relies on and a file could break: weights inside the mesh, and
// animations that can be played without reading past a key or looping forever.
bool CheckSkinnedData(const SkinnedModel& skinned, const char* fileName) {
    uint32_t vertexCount = skinned.model.vertexCount;
    for (uint32_t b = 0; skinned.bones != nullptr && b < skinned.boneCount; ++b) {
        const Bone& bone = skinned.bones[b];
        for (uint32_t w = 0; w < bone.weightCount; ++w) {
            if (bone.weights[w].vertex >= vertexCount) {
                ReportBadModel(fileName, "vertex weight index beyond the vertices");
                return false;
            }
        }
    }
    for (uint32_t a = 0; skinned.animations != nullptr && a < skinned.animationCount; ++a) {
        const Animation& anim = skinned.animations[a];
        if (anim.keyCount <= 0) {
            ReportBadModel(fileName, "animation without keys");
            return false;
        }
        if (anim.keyCount == 1) continue;  // one key never wraps or blends between keys
        if (!(anim.length > 0.0f)) {
            ReportBadModel(fileName, "animation length of 0 or less");
            return false;
        }
        // Frames match by position: each key blends into the next (the last into the
        // first), so no key may have fewer frames than the one before it.
        for (int32_t k = 0; k < anim.keyCount; ++k) {
            const AnimKey& next = anim.keys[(k + 1) % anim.keyCount];
            if (next.frameCount < anim.keys[k].frameCount) {
                ReportBadModel(fileName, "animation key with fewer frames than the key it blends with");
                return false;
            }
        }
    }
    return true;
}

bool AllocateSkinArrays(SkinnedModel& skinned, const char* fileName) {
    const Model& model = skinned.model;
    const size_t n = model.vertexCount;
    if (!AllocateVertexArrays(model, skinned.skinPositions, skinned.skinNormals, skinned.skinTexCoords)) {
        ReportBadModel(fileName, "out of memory for the skinned arrays");
        return false;
    }
    if (skinned.skinTexCoords != nullptr) {
        for (size_t i = 0; i < n; ++i) {
            skinned.skinTexCoords[2 * i] = model.vertices[i].u;
            skinned.skinTexCoords[2 * i + 1] = model.vertices[i].v;
        }
    }
    return true;
}

// A damaged file fails the whole load: nothing skinned is kept and the model is hidden.
void FailSkinnedLoad(SkinnedModel& skinned) {
    FreeSkinnedParts(skinned);
    skinned.model.visible = 0;
}

void LoadSkinned(SkinnedModel& skinned, const char* fileName, const char* data, size_t size,
                 bool withTexture) {
    FreeSkinnedParts(skinned);
    if (!LoadModelFromMemory(fileName, data, size, skinned.model)) return;
    if (withTexture) LoadModelTexture(skinned.model);

    ModelText text = MakeModelText(data, size);
    SkinnedRead read = ReadSkinnedSections(text, fileName, skinned);
    if (read == SkinnedRead::Stop) return;
    if (read == SkinnedRead::Done && text.nonFinite) {
        ReportBadModel(fileName, "number that is not finite");
        read = SkinnedRead::Failed;
    }
    if (read == SkinnedRead::Failed || !CheckSkinnedData(skinned, fileName) ||
        !AllocateSkinArrays(skinned, fileName) || !BuildSkeleton(skinned, fileName)) {
        FailSkinnedLoad(skinned);
        return;
    }
    ResolveAnimationFrames(skinned);
}

}  // namespace

void LoadSkinnedModelFromMemory(SkinnedModel& skinned, const char* fileName, const char* data,
                                size_t size) {
    LoadSkinned(skinned, fileName, data, size, false);
}

void LoadSkinnedModel(SkinnedModel& skinned, const char* fileName) {
    uint8_t* data = nullptr;
    size_t size = 0;
    if (!ReadMediaModelFile(fileName, data, size)) {
        FailSkinnedLoad(skinned);
        return;
    }
    LoadSkinned(skinned, fileName, reinterpret_cast<const char*>(data), size, true);
    delete[] data;
}

void ReleaseSkinnedModel(SkinnedModel& skinned) {
    FreeSkinnedParts(skinned);
    ReleaseModel(skinned.model);
}
