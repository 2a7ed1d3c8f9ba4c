// Damaged .a3f files beyond the counts and hierarchies the model tests cover: numbers that
// are not finite, missing braces, files that end inside a section and words far longer
// than any buffer. Each must end in one clear report (or a clean load) with nothing drawn
// from data that was not there.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "assets/model.h"
#include "assets/model_text.h"
#include "assets/skinned_model.h"
#include "support/error_capture.h"

namespace {

const char* const Identity = "1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1";

// A skinned file whose every section has content: the static mesh, two bones with weights
// and one animation of two keys.
std::string SkinnedFile(const std::string& position = "1", const std::string& normal = "0",
                        const std::string& diffuse = "1", const std::string& matrix = Identity,
                        const std::string& weight = "1.0", const std::string& length = "1.0",
                        const std::string& keyTime = "0.5") {
    return "A3F\nVERSION { 1.0 }\n"
           "VERTICES { POSITION_NORMAL_TEXCOORDS 3\n" +
           position + " 0 0 " + normal + " 1 0 0 0\n0 1 0 0 1 0 1 0\n0 0 1 0 1 0 0 1\n}\n"
           "FACES { 1 0 1 2 0 }\n"
           "MATERIALS { 1 { NAME metal DIFFUSE " + diffuse + " 1 1 1 } }\n"
           "BONES { 2\n"
           "{ NAME body PARENT NONE MATRIX " + matrix + " GRAMS 10 VERTEX_WEIGHTS { 2 0 " + weight +
           " 1 1.0 } }\n"
           "{ NAME prop PARENT body MATRIX " + Identity + " GRAMS 1 VERTEX_WEIGHTS { 1 2 1.0 } }\n"
           "}\n"
           "ANIMATIONS { 1\n"
           "ANIMATION { spin " + length + " 2\n"
           "ANIM_KEY { 0.0 1 ANIM_FRAME { prop " + Identity + " } }\n"
           "ANIM_KEY { " + keyTime + " 1 ANIM_FRAME { prop " + Identity + " } }\n"
           "}\n}\n";
}

bool LoadStatic(const std::string& text, Model& model) {
    return LoadModelFromMemory("test.a3f", text.data(), text.size(), model);
}

void LoadSkinned(SkinnedModel& skinned, const std::string& text) {
    LoadSkinnedModelFromMemory(skinned, "biplane.a3f", text.data(), text.size());
}

void ExpectNothingSkinned(const SkinnedModel& skinned) {
    EXPECT_EQ(skinned.model.visible, 0u);
    EXPECT_EQ(skinned.bones, nullptr);
    EXPECT_EQ(skinned.animations, nullptr);
    EXPECT_EQ(skinned.skinPositions, nullptr);
}

std::string WithoutBraces(std::string text) {
    std::string out;
    for (char c : text)
        if (c != '{' && c != '}') out += c;
    return out;
}

}  // namespace

TEST(MalformedModel, TheGoodFileLoadsWholeAndAnimates) {
    ErrorCapture errors;
    SkinnedModel skinned;
    LoadSkinned(skinned, SkinnedFile());
    EXPECT_TRUE(errors.reports.empty());
    EXPECT_EQ(skinned.model.visible, 1u);
    EXPECT_EQ(skinned.boneCount, 2u);
    EXPECT_EQ(skinned.animationCount, 1u);
    ReleaseSkinnedModel(skinned);
}

TEST(MalformedModel, NumbersThatAreNotFiniteRefuseTheModel) {
    struct Case {
        const char* what;
        std::string file;
        bool staticPart;  // the static loader alone sees it
    };
    const Case cases[] = {
        {"nan position", SkinnedFile("nan"), true},
        {"negative infinity normal", SkinnedFile("1", "-inf"), true},
        {"infinity spelled out", SkinnedFile("1", "0", "infinity"), true},
        {"beyond the float range", SkinnedFile("1e39"), true},
        {"nan in a bone matrix", SkinnedFile("1", "0", "1", "1 0 0 0 0 1 0 0 0 0 1 0 NAN 0 0 1"), false},
        {"infinite weight", SkinnedFile("1", "0", "1", Identity, "inf"), false},
        {"infinite animation length", SkinnedFile("1", "0", "1", Identity, "1.0", "inf"), false},
        {"nan key time", SkinnedFile("1", "0", "1", Identity, "1.0", "1.0", "nan"), false},
    };
    for (const Case& c : cases) {
        ErrorCapture errors;
        SkinnedModel skinned;
        LoadSkinned(skinned, c.file);
        ASSERT_EQ(errors.reports.size(), 1u) << c.what;
        EXPECT_EQ(errors.reports[0].message, "Bad model:") << c.what;
        EXPECT_EQ(errors.reports[0].detail, "biplane.a3f: number that is not finite") << c.what;
        ExpectNothingSkinned(skinned);
        UpdateSkinnedModel(skinned, 0.1f);  // a refused model is left alone
        ReleaseSkinnedModel(skinned);

        errors.reports.clear();
        Model model;
        EXPECT_EQ(LoadStatic(c.file, model), !c.staticPart) << c.what;
        EXPECT_EQ(errors.reports.size(), c.staticPart ? 1u : 0u) << c.what;
        EXPECT_EQ(model.visible, c.staticPart ? 0u : 1u) << c.what;
        ReleaseModel(model);
    }
    // A large finite number is only big, not damaged.
    ErrorCapture errors;
    Model model;
    EXPECT_TRUE(LoadStatic(SkinnedFile("3e38"), model));
    EXPECT_TRUE(errors.reports.empty());
    ReleaseModel(model);
}

TEST(MalformedModel, MissingBracesEndInOneReport) {
    // Without any braces each section's closer takes the next section word with it.
    ErrorCapture errors;
    SkinnedModel noBraces;
    LoadSkinned(noBraces, WithoutBraces(SkinnedFile()));
    ASSERT_EQ(errors.reports.size(), 1u);
    EXPECT_EQ(errors.reports[0].message, "Failed to find section FACES:");
    ExpectNothingSkinned(noBraces);
    ReleaseSkinnedModel(noBraces);

    // Without the openers the static sections still read (their openers are optional),
    // but the records of the skeleton and the animation lose a word each: refused.
    errors.reports.clear();
    std::string noOpeners;
    for (char c : SkinnedFile())
        if (c != '{') noOpeners += c;
    SkinnedModel skinned;
    LoadSkinned(skinned, noOpeners);
    ASSERT_EQ(errors.reports.size(), 1u);
    EXPECT_EQ(errors.reports[0].message, "Bad model:");
    ExpectNothingSkinned(skinned);
    UpdateSkinnedModel(skinned, 0.1f);
    ReleaseSkinnedModel(skinned);
    errors.reports.clear();
    Model mesh;
    EXPECT_TRUE(LoadStatic(noOpeners, mesh));
    EXPECT_EQ(mesh.faceCount, 1u);
    ReleaseModel(mesh);

    // A comment that is never closed swallows the rest of the file.
    errors.reports.clear();
    Model unclosed;
    EXPECT_FALSE(LoadStatic("A3F COMMENT { no end VERTICES { POSITION_NORMAL 1 0 0 0 0 1 0 } "
                            "FACES { 1 0 0 0 0 }",
                            unclosed));
    ASSERT_EQ(errors.reports.size(), 1u);
    EXPECT_EQ(errors.reports[0].message, "Failed to find section VERTICES:");
    ReleaseModel(unclosed);

    // Stray closers between sections are skipped word by word.
    errors.reports.clear();
    Model stray;
    EXPECT_TRUE(LoadStatic("A3F } } VERTICES { POSITION_NORMAL 1 0 0 0 0 1 0 } } } FACES { 1 0 0 0 0 } }",
                           stray));
    EXPECT_TRUE(errors.reports.empty());
    ReleaseModel(stray);
}

TEST(MalformedModel, EveryEndInsideASectionFailsCleanlyOrLoadsWhatIsThere) {
    const std::string file = SkinnedFile();
    for (size_t n = 0; n < file.size(); ++n) {
        ErrorCapture errors;
        SkinnedModel skinned;
        LoadSkinned(skinned, file.substr(0, n));
        // At most one report, and a model is either whole enough to draw or not drawn.
        ASSERT_LE(errors.reports.size(), 1u) << n;
        const Model& m = skinned.model;
        if (m.visible) {
            for (uint32_t f = 0; f < m.faceCount; ++f)
                ASSERT_LT(m.faces[f].c, m.vertexCount) << n;
        } else {
            ASSERT_EQ(errors.reports.size(), 1u) << n;
        }
        if (skinned.bones != nullptr) {
            ASSERT_NE(skinned.skinPositions, nullptr) << n;
        }
        UpdateSkinnedModel(skinned, 0.4f);
        UpdateSkinnedModel(skinned, 0.4f);
        ReleaseSkinnedModel(skinned);
    }
}

TEST(MalformedModel, OverLongWordsAreCutToTheirFields) {
    const std::string huge(100000, 'Q');
    ErrorCapture errors;

    // A vertex format of 100000 characters is reported cut to the word buffer.
    Model format;
    EXPECT_FALSE(LoadStatic("A3F VERTICES { " + huge + " 1 0 0 0 } FACES { 1 0 0 0 0 }", format));
    ASSERT_EQ(errors.reports.size(), 1u);
    EXPECT_EQ(errors.reports[0].message, "Bad vertex format:");
    EXPECT_EQ(errors.reports[0].detail, std::string(ModelWordSize - 1, 'Q'));
    ReleaseModel(format);

    // Over-long section words, material and texture names, bone and animation names.
    errors.reports.clear();
    std::string file = SkinnedFile();
    file.insert(file.find("VERTICES"), huge + " ");
    auto replace = [&file](const std::string& from, const std::string& to) {
        for (size_t at = file.find(from); at != std::string::npos; at = file.find(from, at + to.size()))
            file.replace(at, from.size(), to);
    };
    replace("NAME metal", "NAME " + huge + " TEXTURE { FILE " + huge + ".tga }");
    replace("NAME prop", "NAME " + huge);
    replace("prop " + std::string(Identity), huge + " " + Identity);
    replace("spin", huge);
    SkinnedModel skinned;
    LoadSkinned(skinned, file);
    // The texture file is not looked up from memory; everything else loads, names cut.
    EXPECT_TRUE(errors.reports.empty());
    ASSERT_EQ(skinned.model.visible, 1u);
    EXPECT_EQ(std::strlen(skinned.model.textureFile), sizeof skinned.model.textureFile - 1);
    ASSERT_EQ(skinned.boneCount, 2u);
    EXPECT_EQ(std::strlen(skinned.bones[1].name), sizeof skinned.bones[1].name - 1);
    ASSERT_EQ(skinned.animationCount, 1u);
    EXPECT_EQ(std::strlen(skinned.animations[0].name), sizeof skinned.animations[0].name - 1);
    // The cut frame name still finds the bone whose name was cut the same way.
    EXPECT_EQ(skinned.animations[0].keys[0].frames[0].bone, 1);
    ReleaseSkinnedModel(skinned);
}
