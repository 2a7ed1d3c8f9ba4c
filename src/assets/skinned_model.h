// The player's biplane: one mesh whose vertices follow a skeleton of animated bones.
#pragma once

#include <cstddef>
#include <cstdint>

#include "assets/model.h"

struct VertexWeight {
    uint32_t vertex;
    float weight;
};

struct Bone {
    uint32_t index;
    Mat4 offset;       // MATRIX exactly as read
    Mat4 pose;         // transform relative to the parent, written by the animation
    Mat4 world;        // accumulated transform
    Mat4 inverseBind;  // product of the offsets from this bone up to the root
    Bone* parent;
    Bone* firstChild;
    Bone* nextSibling;
    uint32_t weightCount;
    VertexWeight* weights;  // owned
    char name[32];
    char parentName[32];  // "NONE" marks the root
    float grams;
};

struct AnimFrame {
    int32_t bone;  // index into bones, -1 when unresolved
    Mat4 matrix;   // the bone's pose at this key
    char boneName[32];
};

struct AnimKey {
    float time;
    int32_t frameCount;
    AnimFrame* frames;  // owned
};

struct Animation {
    char name[32];
    int32_t keyCount;
    float length;  // seconds per cycle
    float time;
    bool blending;
    bool looping;
    AnimKey* keys;  // owned
};

struct SkinnedModel {
    Model model;
    Bone* bones = nullptr;  // null when the skeleton is missing or was rejected
    uint32_t boneCount = 0;
    float* skinPositions = nullptr;  // 3 per vertex, rewritten every step
    float* skinNormals = nullptr;    // 3 per vertex, when the model has normals
    float* skinTexCoords = nullptr;  // 2 per vertex, when the model has a texture
    Animation* animations = nullptr;
    uint32_t animationCount = 0;
    int32_t rootBone = -1;
    int32_t currentAnimation = -1;
    bool finished = false;
};

// A started animation blends from the current pose into its first key for this long
// before play proper begins at time 0.
constexpr float AnimationBlendIn = 0.25f;
// More bones than this are refused as a damaged file (the biplane has a handful).
constexpr uint32_t MaxBones = 65536;

// Loads media/<fileName>: the mesh as LoadModelFile does, then the bones and animations,
// then the skeleton. Errors are reported; a damaged file leaves the model invisible.
void LoadSkinnedModel(SkinnedModel& skinned, const char* fileName);
// The same on text already in memory (no texture is loaded); fileName names the model in
// reports.
void LoadSkinnedModelFromMemory(SkinnedModel& skinned, const char* fileName, const char* data,
                                size_t size);
// Index of the first bone named exactly name, or -1.
int32_t FindBone(const SkinnedModel& skinned, const char* name);
// Bind matrices of bone, its later siblings and everything below them, parents first.
void BindBones(SkinnedModel& skinned, Bone* bone);
// Frees the skeleton, the animations, the skinned arrays and the mesh.
void ReleaseSkinnedModel(SkinnedModel& skinned);

// Plays animation index from the current pose, looping, after the blend-in.
void StartAnimation(SkinnedModel& skinned, int index);
// One simulation step: animate, then re-skin the mesh into skinPositions/skinNormals.
void UpdateSkinnedModel(SkinnedModel& skinned, float dt);
// Advances the current animation by dt and writes the bones' poses and world matrices.
void AnimateBones(SkinnedModel& skinned, float dt);
// world = parent's world * pose for bone, its later siblings and their descendants (a root
// keeps the world its bind gave it).
void PropagatePose(SkinnedModel& skinned, Bone* bone);
// Adds every weighted vertex of bone (and of the bones walked after it) into the skinned
// arrays, which the caller has zeroed.
void SkinVertices(SkinnedModel& skinned, const Bone* bone);
