#include <gtest/gtest.h>

#include <string>

#include "core/services.h"
#include "assets/skinned_model.h"
#include "support/error_capture.h"
#include "support/temp_dir.h"

namespace {

// Four vertices; the last is weighted by no bone in the files below.
const char* const Mesh =
    "A3F\nVERSION { 1.0 }\n"
    "VERTICES { POSITION_NORMAL 4\n"
    "1 0 0 0 1 0\n0 1 0 0 1 0\n0 0 1 0 1 0\n5 5 5 0 1 0\n}\n"
    "FACES { 1 0 1 2 0 }\n"
    "MATERIALS { 1 { NAME metal DIFFUSE 1 1 1 1 } }\n";

const char* const Identity = "1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1";

std::string BoneEntry(const std::string& name, const std::string& parent,
                      const std::string& matrix = Identity, const std::string& weights = "") {
    std::string s = "{ NAME " + name + " PARENT " + parent + " MATRIX " + matrix + " GRAMS 10";
    if (!weights.empty()) return s + " VERTEX_WEIGHTS { " + weights + " } }\n";
    return s + " }\n";
}

std::string Bones(const std::string& entries, int count) {
    return "BONES { " + std::to_string(count) + "\n" + entries + "}\n";
}

// The biplane's layout: a body and a propeller two units ahead of it.
const std::string TwoBones =
    Bones(BoneEntry("body", "NONE", Identity, "2 0 1.0 1 1.0") +
              BoneEntry("prop", "body", "1 0 0 0 0 1 0 0 0 0 1 0 0 0 -2 1", "1 2 1.0"),
          2);

const std::string Spin =
    "ANIMATIONS { 1\n"
    "ANIMATION { spin 1.0 2\n"
    "ANIM_KEY { 0.0 1 ANIM_FRAME { prop 1 0 0 0 0 1 0 0 0 0 1 0 0 0 2 1 } }\n"
    "ANIM_KEY { 0.5 1 ANIM_FRAME { prop -1 0 0 0 0 1 0 0 0 0 -1 0 0 0 2 1 } }\n"
    "}\n}\n";

std::string Repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

void Load(SkinnedModel& skinned, const std::string& text, const char* name = "biplane.a3f") {
    LoadSkinnedModelFromMemory(skinned, name, text.data(), text.size());
}

void ExpectTranslation(const Mat4& m, float x, float y, float z) {
    EXPECT_FLOAT_EQ(m[12], x);
    EXPECT_FLOAT_EQ(m[13], y);
    EXPECT_FLOAT_EQ(m[14], z);
}

void ExpectNothingSkinned(const SkinnedModel& skinned) {
    EXPECT_EQ(skinned.model.visible, 0u);
    EXPECT_EQ(skinned.bones, nullptr);
    EXPECT_EQ(skinned.boneCount, 0u);
    EXPECT_EQ(skinned.animations, nullptr);
    EXPECT_EQ(skinned.animationCount, 0u);
    EXPECT_EQ(skinned.skinPositions, nullptr);
}

}  // namespace

TEST(SkinnedModel, TypicalFileBuildsSkeletonAndAnimation) {
    ErrorCapture errors;
    SkinnedModel skinned;
    Load(skinned, std::string(Mesh) + TwoBones + Spin);
    EXPECT_TRUE(errors.reports.empty());
    EXPECT_EQ(skinned.model.visible, 1u);
    ASSERT_EQ(skinned.boneCount, 2u);
    EXPECT_EQ(skinned.rootBone, 0);
    Bone& body = skinned.bones[0];
    Bone& prop = skinned.bones[1];
    EXPECT_EQ(prop.index, 1u);
    EXPECT_STREQ(body.name, "body");
    EXPECT_STREQ(prop.parentName, "body");
    EXPECT_EQ(prop.parent, &body);
    EXPECT_EQ(body.firstChild, &prop);
    EXPECT_EQ(body.parent, nullptr);
    EXPECT_FLOAT_EQ(prop.grams, 10.0f);
    ASSERT_EQ(body.weightCount, 2u);
    EXPECT_EQ(body.weights[1].vertex, 1u);
    EXPECT_FLOAT_EQ(body.weights[1].weight, 1.0f);
    // Identity root: identity bind. A child offset by a translation t binds to t and its
    // world (and first pose) is the opposite translation.
    ExpectTranslation(body.inverseBind, 0, 0, 0);
    EXPECT_FLOAT_EQ(body.world[0], 1.0f);
    ExpectTranslation(prop.offset, 0, 0, -2);
    ExpectTranslation(prop.inverseBind, 0, 0, -2);
    ExpectTranslation(prop.world, 0, 0, 2);
    ExpectTranslation(prop.pose, 0, 0, 2);
    EXPECT_FLOAT_EQ(prop.world[10], 1.0f);

    ASSERT_EQ(skinned.animationCount, 1u);
    const Animation& spin = skinned.animations[0];
    EXPECT_STREQ(spin.name, "spin");
    EXPECT_FLOAT_EQ(spin.length, 1.0f);
    ASSERT_EQ(spin.keyCount, 2);
    EXPECT_FLOAT_EQ(spin.keys[1].time, 0.5f);
    ASSERT_EQ(spin.keys[1].frameCount, 1);
    EXPECT_EQ(spin.keys[1].frames[0].bone, 1);
    EXPECT_FLOAT_EQ(spin.keys[1].frames[0].matrix[10], -1.0f);
    EXPECT_FALSE(spin.blending);
    EXPECT_FALSE(spin.looping);

    EXPECT_NE(skinned.skinPositions, nullptr);
    EXPECT_NE(skinned.skinNormals, nullptr);
    EXPECT_EQ(skinned.skinTexCoords, nullptr);  // untextured

    EXPECT_EQ(FindBone(skinned, "prop"), 1);
    EXPECT_EQ(FindBone(skinned, "Prop"), -1);
    ReleaseSkinnedModel(skinned);
    EXPECT_EQ(skinned.bones, nullptr);
    EXPECT_EQ(skinned.model.vertices, nullptr);
    EXPECT_EQ(FindBone(skinned, "prop"), -1);
}

TEST(SkinnedModel, ChildrenKeepFileOrderAndParentsMayComeLater) {
    ErrorCapture errors;
    SkinnedModel skinned;
    Load(skinned, std::string(Mesh) +
                      Bones(BoneEntry("c1", "root") + BoneEntry("c2", "root") +
                                BoneEntry("root", "NONE") + BoneEntry("c3", "root") +
                                BoneEntry("g", "c2"),
                            5));
    EXPECT_TRUE(errors.reports.empty());
    ASSERT_EQ(skinned.boneCount, 5u);
    Bone* b = skinned.bones;
    EXPECT_EQ(skinned.rootBone, 2);
    EXPECT_EQ(b[2].firstChild, &b[0]);
    EXPECT_EQ(b[0].nextSibling, &b[1]);
    EXPECT_EQ(b[1].nextSibling, &b[3]);
    EXPECT_EQ(b[3].nextSibling, nullptr);
    EXPECT_EQ(b[1].firstChild, &b[4]);
    EXPECT_EQ(b[4].parent, &b[1]);
    ReleaseSkinnedModel(skinned);
}

TEST(SkinnedModel, HierarchyErrorsDropTheSkeleton) {
    struct Case {
        std::string bones;
        const char* message;
    };
    const Case cases[] = {
        {Bones(BoneEntry("prop", "NONE") + BoneEntry("tail", "Prop"), 2), "Bone name not found:"},
        {Bones(BoneEntry("a", "b") + BoneEntry("b", "a"), 2), "Bad bone heirarchy, no root frame:"},
        {Bones(BoneEntry("a", "NONE") + BoneEntry("b", "NONE"), 2),
         "Bad bone heirarchy, more than one root frame."},
    };
    for (const Case& c : cases) {
        ErrorCapture errors;
        SkinnedModel skinned;
        Load(skinned, std::string(Mesh) + c.bones);
        ASSERT_EQ(errors.reports.size(), 1u) << c.message;
        EXPECT_EQ(errors.reports[0].message, c.message);
        EXPECT_EQ(errors.reports[0].detail, "biplane.a3f");
        EXPECT_EQ(skinned.bones, nullptr);
        EXPECT_EQ(skinned.boneCount, 0u);
        EXPECT_EQ(skinned.model.visible, 1u);  // loaded, but neither animated nor drawn
        ReleaseSkinnedModel(skinned);
    }
}

TEST(SkinnedModel, UnknownFrameBoneStopsResolution) {
    ErrorCapture errors;
    SkinnedModel skinned;
    std::string frames = "ANIMATIONS { 1 ANIMATION { flap 1.0 1 ANIM_KEY { 0.0 3 "
                         "ANIM_FRAME { prop " + std::string(Identity) + " } "
                         "ANIM_FRAME { wing " + Identity + " } "
                         "ANIM_FRAME { body " + Identity + " } } } }";
    Load(skinned, std::string(Mesh) + TwoBones + frames);
    ASSERT_EQ(errors.reports.size(), 1u);
    EXPECT_EQ(errors.reports[0].message, "Bad animation frame name:");
    EXPECT_EQ(errors.reports[0].detail, "wing");
    const AnimKey& key = skinned.animations[0].keys[0];
    EXPECT_EQ(key.frames[0].bone, 1);
    EXPECT_EQ(key.frames[1].bone, -1);
    EXPECT_EQ(key.frames[2].bone, -1);  // after the unknown name nothing is resolved
    EXPECT_NE(skinned.bones, nullptr);
    ReleaseSkinnedModel(skinned);
}

TEST(SkinnedModel, LongNamesAreCutAndRepeatedSectionsReplace) {
    ErrorCapture errors;
    SkinnedModel skinned;
    std::string longName(40, 'w');
    Load(skinned, std::string(Mesh) + Bones(BoneEntry("old", "NONE", Identity, "1 0 1"), 1) +
                      Bones(BoneEntry("root", "NONE", Identity, "1 0 1") +
                                BoneEntry(longName, "root") + BoneEntry("tip", longName),
                            3) +
                      Spin + Spin);
    // The second Spin names "prop", which this skeleton lacks.
    ASSERT_EQ(errors.reports.size(), 1u);
    EXPECT_EQ(errors.reports[0].message, "Bad animation frame name:");
    ASSERT_EQ(skinned.boneCount, 3u);
    EXPECT_EQ(std::string(skinned.bones[1].name), std::string(31, 'w'));
    EXPECT_EQ(skinned.bones[2].parent, &skinned.bones[1]);
    EXPECT_EQ(skinned.animationCount, 1u);
    ReleaseSkinnedModel(skinned);
}

TEST(SkinnedModel, DamagedFilesFailCleanly) {
    struct Case {
        const char* what;
        std::string skinned;
    };
    const std::string key0 = "ANIM_KEY { 0.0 1 ANIM_FRAME { prop " + std::string(Identity) + " } }";
    const std::string keyEmpty = "ANIM_KEY { 0.5 0 }";
    const Case cases[] = {
        {"weight index", Bones(BoneEntry("body", "NONE", Identity, "1 4 1.0"), 1)},
        {"huge bone count", "BONES { 60000 { } }"},
        {"bones over the limit", "BONES { 70000 " + Repeat("} ", 70000) + "}"},
        {"huge weight count", Bones(BoneEntry("body", "NONE", Identity, "4294967295 0 1"), 1)},
        {"huge key count", TwoBones + "ANIMATIONS { 1 ANIMATION { a 1.0 2000000000 } }"},
        {"huge frame count",
         TwoBones + "ANIMATIONS { 1 ANIMATION { a 1.0 1 ANIM_KEY { 0 99999999 } } }"},
        {"no keys", TwoBones + "ANIMATIONS { 1 ANIMATION { a 1.0 0 } }"},
        {"zero length", TwoBones + "ANIMATIONS { 1 ANIMATION { a 0 2 " + key0 + key0 + " } }"},
        {"fewer frames", TwoBones + "ANIMATIONS { 1 ANIMATION { a 1.0 2 " + key0 + keyEmpty + " } }"},
        {"parent cycle", Bones(BoneEntry("root", "NONE") + BoneEntry("a", "b") + BoneEntry("b", "a"), 3)},
        {"own parent", Bones(BoneEntry("root", "NONE") + BoneEntry("a", "a"), 2)},
    };
    for (const Case& c : cases) {
        ErrorCapture errors;
        SkinnedModel skinned;
        Load(skinned, std::string(Mesh) + c.skinned);
        ASSERT_EQ(errors.reports.size(), 1u) << c.what;
        EXPECT_EQ(errors.reports[0].message, "Bad model:") << c.what;
        EXPECT_EQ(errors.reports[0].detail.rfind("biplane.a3f: ", 0), 0u) << c.what;
        ExpectNothingSkinned(skinned);
        UpdateSkinnedModel(skinned, 0.1f);  // a failed model is left alone
        ReleaseSkinnedModel(skinned);
    }
}

TEST(SkinnedModel, LoadsFromTheMediaFolder) {
    TempDir dir;
    SetMediaFolderOverride(dir.path.c_str());
    dir.Write("biplane.a3f", std::string(Mesh) + TwoBones + Spin);
    ErrorCapture errors;
    SkinnedModel skinned;
    LoadSkinnedModel(skinned, "biplane.a3f");
    EXPECT_TRUE(errors.reports.empty());
    EXPECT_EQ(skinned.boneCount, 2u);
    EXPECT_EQ(skinned.model.visible, 1u);
    ReleaseSkinnedModel(skinned);

    SkinnedModel missing;
    LoadSkinnedModel(missing, "nothere.a3f");
    SetMediaFolderOverride(nullptr);
    ASSERT_EQ(errors.reports.size(), 1u);
    EXPECT_EQ(errors.reports[0].message, "Could not open file:");
    EXPECT_EQ(errors.reports[0].detail, dir.File("nothere.a3f"));
    ExpectNothingSkinned(missing);
}
