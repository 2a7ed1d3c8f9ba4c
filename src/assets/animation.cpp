#include <cmath>
#include <cstring>

#include "assets/skeleton.h"

namespace {

bool ValidBone(const SkinnedModel& skinned, int32_t bone) {
    return bone >= 0 && static_cast<uint32_t>(bone) < skinned.boneCount;
}

// Brings t into the cycle the way repeated adding and subtracting of length does. The
// steps are bounded: past them (a tiny length against a huge time, where a float step
// no longer moves t) the remainder is taken directly.
float WrapTime(float t, float length, bool looping) {
    if (!(length > 0.0f)) return t;
    const int maxSteps = 64;
    for (int i = 0; t < 0.0f && i < maxSteps; ++i) t += length;
    if (t < 0.0f) {
        t = std::fmod(t, length);
        if (t < 0.0f) t += length;
    }
    if (looping) {
        for (int i = 0; t > length && i < maxSteps; ++i) t -= length;
        if (t > length) t = std::fmod(t, length);
    }
    return t;
}

// Blend-in: each bone's pose moves toward the first key by the share of the time left.
// With no time left (the blend ends exactly at 0, possibly on a step of 0) the pose is the
// first key: dividing would give 0/0 and a NaN pose until the next step with time.
void BlendIn(SkinnedModel& skinned, const Animation& anim, float t, float dt) {
    float left = AnimationBlendIn - (t + AnimationBlendIn);
    float f = left > 0.0f ? dt / left : 1.0f;
    if (f > 1.0f) f = 1.0f;
    const AnimKey& first = anim.keys[0];
    for (int32_t j = 0; j < first.frameCount; ++j) {
        const AnimFrame& frame = first.frames[j];
        if (!ValidBone(skinned, frame.bone)) continue;
        BlendMatrices(skinned.bones[frame.bone].pose, frame.matrix, f);
    }
}

void CopyKey(SkinnedModel& skinned, const AnimKey& key) {
    for (int32_t j = 0; j < key.frameCount; ++j) {
        const AnimFrame& frame = key.frames[j];
        if (ValidBone(skinned, frame.bone)) skinned.bones[frame.bone].pose = frame.matrix;
    }
}

// Several keys: the key at or before t, blended toward the next one (the last key
// blends toward the first, one cycle later).
void Interpolate(SkinnedModel& skinned, const Animation& anim, float t) {
    int32_t i = anim.keyCount - 1;
    while (i > 0 && t < anim.keys[i].time) --i;
    int32_t n = (i + 1) % anim.keyCount;
    const AnimKey& key = anim.keys[i];
    const AnimKey& next = anim.keys[n];
    float tn = next.time + (n < i ? anim.length : 0.0f);
    float span = tn - key.time;
    float f = span > 0.0f ? (t - key.time) / span : 0.0f;
    // Frames match by position; the loader refuses keys that cannot be matched.
    int32_t frames = key.frameCount < next.frameCount ? key.frameCount : next.frameCount;
    for (int32_t j = 0; j < frames; ++j) {
        const AnimFrame& frame = key.frames[j];
        if (!ValidBone(skinned, frame.bone)) continue;
        Mat4& pose = skinned.bones[frame.bone].pose;
        pose = frame.matrix;
        BlendMatrices(pose, next.frames[j].matrix, f);
    }
}

}  // namespace

void StartAnimation(SkinnedModel& skinned, int index) {
    if (skinned.animations == nullptr || index < 0 ||
        static_cast<uint32_t>(index) >= skinned.animationCount)
        return;
    skinned.currentAnimation = index;
    skinned.finished = false;
    Animation& anim = skinned.animations[index];
    anim.looping = true;
    anim.blending = true;
    anim.time = -AnimationBlendIn;
}

void AnimateBones(SkinnedModel& skinned, float dt) {
    if (skinned.currentAnimation < 0 || skinned.animations == nullptr ||
        static_cast<uint32_t>(skinned.currentAnimation) >= skinned.animationCount)
        return;
    Bone* root = RootBoneOf(skinned);
    if (skinned.finished) {
        PropagatePose(skinned, root);
        return;
    }
    Animation& anim = skinned.animations[skinned.currentAnimation];
    if (anim.keyCount <= 0 || anim.keys == nullptr) {
        PropagatePose(skinned, root);
        return;
    }

    float t = anim.time + dt;
    if (t > 0.0f) anim.blending = false;
    if (anim.blending) {
        anim.time = t;
        BlendIn(skinned, anim, t, dt);
    } else if (anim.keyCount == 1) {
        CopyKey(skinned, anim.keys[0]);  // the time is not kept for a single key
        if (!anim.looping) skinned.finished = true;
    } else {
        t = WrapTime(t, anim.length, anim.looping);
        if (!anim.looping && t > anim.length) {
            // The last pose stays; not even the world matrices are recomputed this step.
            skinned.finished = true;
            return;
        }
        anim.time = t;
        Interpolate(skinned, anim, t);
    }
    PropagatePose(skinned, root);
}

void PropagatePose(SkinnedModel& skinned, Bone* bone) {
    WalkBones(bone, skinned.boneCount, [](Bone* b) {
        if (b->parent != nullptr) AffineMultiply(b->world, b->parent->world, b->pose);
    });
}

void SkinVertices(SkinnedModel& skinned, const Bone* bone) {
    const Model& model = skinned.model;
    float* positions = skinned.skinPositions;
    float* normals = model.hasNormals ? skinned.skinNormals : nullptr;
    if (positions == nullptr || model.vertices == nullptr) return;
    WalkBones(bone, skinned.boneCount, [&](const Bone* b) {
        Mat4 m;
        AffineMultiply(m, b->world, b->inverseBind);
        const float* e = m.m;
        for (uint32_t w = 0; w < b->weightCount; ++w) {
            uint32_t v = b->weights[w].vertex;
            if (v >= model.vertexCount) continue;
            float weight = b->weights[w].weight;
            const Vertex& vertex = model.vertices[v];
            // The point and direction transforms of the math library, written out here
            // with the same operations in the same order: this loop runs for every
            // weight of every bone each step.
            Vec3 p = vertex.position;
            float* out = positions + 3 * static_cast<size_t>(v);
            out[0] += weight * (p.x * e[0] + p.y * e[4] + p.z * e[8] + e[12]);
            out[1] += weight * (p.x * e[1] + p.y * e[5] + p.z * e[9] + e[13]);
            out[2] += weight * (p.x * e[2] + p.y * e[6] + p.z * e[10] + e[14]);
            if (normals != nullptr) {
                Vec3 n = vertex.normal;
                Vec3 d = {n.x * e[0] + n.y * e[4] + n.z * e[8], n.x * e[1] + n.y * e[5] + n.z * e[9],
                          n.x * e[2] + n.y * e[6] + n.z * e[10]};
                float length = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
                if (length != 0.0f) {
                    d.x /= length;
                    d.y /= length;
                    d.z /= length;
                }
                float* outN = normals + 3 * static_cast<size_t>(v);
                outN[0] += weight * d.x;
                outN[1] += weight * d.y;
                outN[2] += weight * d.z;
            }
        }
    });
}

void UpdateSkinnedModel(SkinnedModel& skinned, float dt) {
    if (skinned.model.visible == 0 || skinned.bones == nullptr || skinned.boneCount == 0) return;
    if (skinned.animations != nullptr && skinned.animationCount > 0) AnimateBones(skinned, dt);
    size_t n = skinned.model.vertexCount;
    if (skinned.skinPositions != nullptr)
        std::memset(skinned.skinPositions, 0, 3 * n * sizeof(float));
    if (skinned.model.hasNormals && skinned.skinNormals != nullptr)
        std::memset(skinned.skinNormals, 0, 3 * n * sizeof(float));
    SkinVertices(skinned, RootBoneOf(skinned));
}
