// The player's biplane: one mesh whose vertices follow a skeleton of animated bones.
#pragma once

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

void LoadSkinnedModel(SkinnedModel& skinned, const char* fileName);
int32_t FindBone(const SkinnedModel& skinned, const char* name);
void ReleaseSkinnedModel(SkinnedModel& skinned);

void StartAnimation(SkinnedModel& skinned, int index);
void UpdateSkinnedModel(SkinnedModel& skinned, float dt);
