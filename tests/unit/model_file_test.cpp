#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/services.h"
#include "assets/model.h"
#include "assets/model_text.h"
#include "support/error_capture.h"
#include "support/temp_dir.h"

namespace {

const char* const HangarFile =
    "A3F\n"
    "VERSION { 1.0 }\n"
    "COMMENT { exported hangar }\n"
    "VERTICES { POSITION_NORMAL_TEXCOORDS 3\n"
    "0 0 0  0 1 0  0 0\n"
    "1 0 0  0 1 0  1 0\n"
    "0 0 1  0 1 0  0 1\n"
    "}\n"
    "FACES { 1\n"
    "0 1 2 0\n"
    "}\n"
    "MATERIALS { 1\n"
    "{ NAME wood AMBIENT 0.2 0.2 0.2 1 DIFFUSE 0.8 0.8 0.8 1 SHININESS 10 TEXTURE { FILE "
    "hangar.jpg ALPHA NONE } }\n"
    "}\n";

bool Load(const std::string& text, Model& model, const char* name = "test.a3f") {
    return LoadModelFromMemory(name, text.data(), text.size(), model);
}

// A POSITION_NORMAL model with the given positions and one face.
std::string NormalModel(const std::string& positions, int count) {
    std::string s = "A3F VERTICES { POSITION_NORMAL " + std::to_string(count) + "\n";
    s += positions;
    s += "} FACES { 1 0 0 0 0 }\n";
    return s;
}

struct MediaFolder : testing::Test {
    TempDir dir;
    void SetUp() override { SetMediaFolderOverride(dir.path.c_str()); }
    void TearDown() override { SetMediaFolderOverride(nullptr); }
};

}  // namespace

TEST(ModelText, WordsNumbersAndOptionalBraces) {
    std::string s = "word{ { next { -1 +7 -.5e1 abc 12x } 99999999999999999999";
    ModelText t = MakeModelText(s.data(), s.size());
    char w[ModelWordSize];
    // "%s {" reads one word, then takes a "{" that stands next after the blanks.
    ASSERT_TRUE(ReadWordThen(t, w, sizeof w, '{'));
    EXPECT_STREQ(w, "word{");
    ASSERT_TRUE(ReadWordThen(t, w, sizeof w, '}'));  // "{" was taken; "}" is not next
    EXPECT_STREQ(w, "next");
    ASSERT_TRUE(ReadWord(t, w, sizeof w));
    EXPECT_STREQ(w, "{");
    EXPECT_EQ(ReadUnsigned(t), 4294967295u);  // "-1" wraps like the C library
    EXPECT_EQ(ReadUnsigned(t), 7u);
    EXPECT_FLOAT_EQ(ReadFloat(t), -5.0f);
    float f = 3.0f;
    EXPECT_FALSE(ReadFloat(t, f));  // a word is no number: 0, and the word stays unread
    EXPECT_EQ(f, 0.0f);
    EXPECT_EQ(ReadUnsigned(t), 0u);
    ASSERT_TRUE(ReadWord(t, w, sizeof w));
    EXPECT_STREQ(w, "abc");
    EXPECT_EQ(ReadUnsigned(t), 12u);  // the number ends where the digits end
    ASSERT_TRUE(ReadWordThen(t, w, sizeof w, '}'));
    EXPECT_STREQ(w, "x");
    EXPECT_EQ(ReadUnsigned(t), 4294967295u);  // saturates, never wraps back to small
    EXPECT_FALSE(ReadWord(t, w, sizeof w));
    EXPECT_STREQ(w, "x");  // a failed read leaves the buffer
}

TEST(ModelText, LongWordsAreCutAndSkippedWhole) {
    std::string s = std::string(1000, 'a') + " b";
    ModelText t = MakeModelText(s.data(), s.size());
    char w[ModelWordSize];
    char name[ModelNameSize];
    ASSERT_TRUE(ReadWord(t, w, sizeof w));
    EXPECT_EQ(std::strlen(w), 259u);
    ASSERT_TRUE(ReadWord(t, name, sizeof name));
    EXPECT_STREQ(name, "b");
    std::string longName(40, 'n');
    ModelText t2 = MakeModelText(longName.data(), longName.size());
    ASSERT_TRUE(ReadWord(t2, name, sizeof name));
    EXPECT_EQ(std::string(name), std::string(31, 'n'));
}

TEST_F(MediaFolder, TypicalFileLoadsEveryField) {
    dir.Write("hangar.a3f", HangarFile);
    ErrorCapture errors;
    Model model;
    model.matrix[12] = 5.0f;
    model.velocity = {1, 2, 3};
    ASSERT_TRUE(LoadModelFile("hangar.a3f", model));
    // The picture is not in the folder: that is reported and the model loads untextured.
    ASSERT_EQ(errors.reports.size(), 1u);
    EXPECT_EQ(errors.reports[0].message, "Unable to load the texture file:");
    EXPECT_EQ(errors.reports[0].detail, "hangar.jpg");
    EXPECT_EQ(model.texture, 0u);
    EXPECT_EQ(model.visible, 1u);
    EXPECT_EQ(model.matrix[12], 0.0f);
    EXPECT_EQ(model.velocity.x, 0.0f);
    ASSERT_EQ(model.vertexCount, 3u);
    EXPECT_TRUE(model.hasNormals);
    EXPECT_EQ(model.vertices[1].position.x, 1.0f);
    EXPECT_EQ(model.vertices[2].normal.y, 1.0f);
    EXPECT_EQ(model.vertices[2].v, 1.0f);
    ASSERT_EQ(model.faceCount, 1u);
    EXPECT_EQ(model.faces[0].b, 1u);
    EXPECT_EQ(model.faces[0].c, 2u);
    EXPECT_STREQ(model.name, "wood");
    EXPECT_FLOAT_EQ(model.ambient[0], 0.2f);
    EXPECT_FLOAT_EQ(model.diffuse[3], 1.0f);
    EXPECT_EQ(model.shininess, 10u);
    EXPECT_TRUE(model.hasTexture);
    EXPECT_STREQ(model.textureFile, "hangar.jpg");
    EXPECT_EQ(model.alphaMode, AlphaNone);
    EXPECT_EQ(model.boundsMin.x, 0.0f);
    EXPECT_EQ(model.boundsMax.z, 1.0f);
    EXPECT_FLOAT_EQ(model.radiusSquared, 2.0f);
    ReleaseModel(model);
    EXPECT_EQ(model.vertices, nullptr);
    EXPECT_EQ(model.faces, nullptr);
}

TEST_F(MediaFolder, HeaderAndSectionErrorsReportTheirTexts) {
    ErrorCapture errors;
    Model missing;
    EXPECT_FALSE(LoadModelFile("nothere.a3f", missing));
    ASSERT_EQ(errors.reports.size(), 1u);
    EXPECT_EQ(errors.reports[0].message, "Could not open file:");
    EXPECT_EQ(errors.reports[0].detail, dir.File("nothere.a3f"));

    const char* const notA3f[] = {"a3f VERTICES", "A3F2 VERTICES", "", "  \n"};
    for (const char* text : notA3f) {
        errors.reports.clear();
        Model model;
        dir.Write("bad.a3f", text);
        EXPECT_FALSE(LoadModelFile("bad.a3f", model)) << text;
        ASSERT_EQ(errors.reports.size(), 1u) << text;
        EXPECT_EQ(errors.reports[0].message, "Not an .a3f file:");
        EXPECT_EQ(errors.reports[0].detail, "bad.a3f");
        EXPECT_EQ(model.visible, 0u);
    }

    errors.reports.clear();
    Model onlyVertices;
    EXPECT_FALSE(Load("A3F VERTICES { POSITION_NORMAL 0 }", onlyVertices, "v.a3f"));
    ASSERT_EQ(errors.reports.size(), 1u);
    EXPECT_EQ(errors.reports[0].message, "Failed to find section FACES:");
    EXPECT_EQ(errors.reports[0].detail, "v.a3f");
    EXPECT_EQ(onlyVertices.visible, 0u);
    ReleaseModel(onlyVertices);

    errors.reports.clear();
    Model onlyFaces;
    EXPECT_FALSE(Load("A3F FACES { 0 }", onlyFaces, "f.a3f"));
    ASSERT_EQ(errors.reports.size(), 1u);
    EXPECT_EQ(errors.reports[0].message, "Failed to find section VERTICES:");
    EXPECT_EQ(errors.reports[0].detail, "f.a3f");
    ReleaseModel(onlyFaces);

    errors.reports.clear();
    Model badFormat;
    EXPECT_FALSE(Load("A3F VERTICES { POSITION_COLOUR 1 0 0 0 } FACES { 0 }", badFormat));
    ASSERT_EQ(errors.reports.size(), 1u);
    EXPECT_EQ(errors.reports[0].message, "Bad vertex format:");
    EXPECT_EQ(errors.reports[0].detail, "POSITION_COLOUR");
    EXPECT_EQ(errors.reports[0].text,
              "Bad vertex format: POSITION_COLOUR The application will continue.");
    EXPECT_EQ(badFormat.visible, 0u);
    ReleaseModel(badFormat);
}

TEST(ModelFile, VertexFormatsAndGeneratedTexCoords) {
    ErrorCapture errors;
    Model tex;
    ASSERT_TRUE(Load("A3F VERTICES { POSITION_TEXCOORDS 1 1 2 3 0.25 0.75 } FACES { 1 0 0 0 0 }",
                     tex));
    EXPECT_FALSE(tex.hasNormals);
    EXPECT_EQ(tex.vertices[0].u, 0.25f);
    EXPECT_EQ(tex.vertices[0].v, 0.75f);
    EXPECT_EQ(tex.vertices[0].normal.y, 0.0f);
    ReleaseModel(tex);

    // Flat in X: no coordinates are generated.
    Model flatX;
    ASSERT_TRUE(Load(NormalModel("3 0 0 0 1 0\n3 5 7 0 1 0\n", 2), flatX));
    EXPECT_TRUE(flatX.hasNormals);
    EXPECT_EQ(flatX.vertices[1].u, 0.0f);
    EXPECT_EQ(flatX.vertices[1].v, 0.0f);
    ReleaseModel(flatX);

    // Box 10 x 2 x 4: u from x, v from z.
    Model wide;
    ASSERT_TRUE(Load(NormalModel("0 0 0 0 1 0\n10 2 4 0 1 0\n5 1 1 0 1 0\n", 3), wide));
    EXPECT_FLOAT_EQ(wide.vertices[2].u, 0.5f);
    EXPECT_FLOAT_EQ(wide.vertices[2].v, 0.25f);
    EXPECT_FLOAT_EQ(wide.vertices[1].v, 1.0f);
    ReleaseModel(wide);

    // Box 10 x 4 x 2: v from y.
    Model tall;
    ASSERT_TRUE(Load(NormalModel("-5 0 0 0 1 0\n5 4 2 0 1 0\n0 1 1 0 1 0\n", 3), tall));
    EXPECT_FLOAT_EQ(tall.vertices[2].u, 0.5f);
    EXPECT_FLOAT_EQ(tall.vertices[2].v, 0.25f);
    ReleaseModel(tall);

    // A line along X: v cannot be spread over a zero extent and stays 0 (never NaN).
    Model line;
    ASSERT_TRUE(Load(NormalModel("0 1 1 0 1 0\n4 1 1 0 1 0\n", 2), line));
    EXPECT_FLOAT_EQ(line.vertices[1].u, 1.0f);
    EXPECT_EQ(line.vertices[1].v, 0.0f);
    ReleaseModel(line);
    EXPECT_TRUE(errors.reports.empty());
}

TEST(ModelFile, EmptyVertexSectionKeepsInitialBounds) {
    Model model;
    ASSERT_TRUE(Load("A3F VERTICES { POSITION_NORMAL 0 } FACES { 0 }", model));
    EXPECT_EQ(model.vertexCount, 0u);
    EXPECT_EQ(model.boundsMin.x, 100000.0f);
    EXPECT_EQ(model.boundsMax.y, -100000.0f);
    EXPECT_FLOAT_EQ(model.radiusSquared, 3e10f);
    EXPECT_EQ(model.visible, 1u);
    ReleaseModel(model);
}

TEST(ModelFile, MaterialEntriesShareOneMaterial) {
    Model model;
    ASSERT_TRUE(Load("A3F VERTICES { POSITION_NORMAL 0 } FACES { 0 }\n"
                     "MATERIALS { 3\n"
                     "{ NAME first DIFFUSE 1 0 0 1 SHININESS 7 TEXTURE { FILE a.jpg ALPHA 0.5 } }\n"
                     "}\n"
                     "{ NAME second AMBIENT 0 0 1 1 }\n"
                     "}\n",
                     model));
    // The second entry emptied the texture; the colours it did not name survive.
    EXPECT_STREQ(model.name, "second");
    EXPECT_FALSE(model.hasTexture);
    EXPECT_STREQ(model.textureFile, "");
    EXPECT_EQ(model.diffuse[0], 1.0f);
    EXPECT_EQ(model.ambient[2], 1.0f);
    EXPECT_EQ(model.shininess, 7u);
    EXPECT_EQ(model.alphaMode, AlphaNumber);
    EXPECT_FLOAT_EQ(model.alphaParam, 0.5f);
    LoadModelTexture(model);
    EXPECT_EQ(model.texture, 0u);
    ReleaseModel(model);

    Model named;
    ASSERT_TRUE(Load("A3F VERTICES { POSITION_NORMAL 0 } FACES { 0 }\n"
                     "MATERIALS { 1 { TEXTURE { FILE sky.jpg ALPHA BLUE_MASK } } }",
                     named));
    EXPECT_EQ(named.alphaMode, AlphaBlueMask);
    EXPECT_EQ(named.alphaParam, 0.0f);
    EXPECT_TRUE(named.hasTexture);
    EXPECT_STREQ(named.textureFile, "sky.jpg");
    ReleaseModel(named);
}

TEST(ModelFile, FourthFaceNumberAndStrayWordsAreSkipped) {
    Model model;
    ASSERT_TRUE(Load("A3F junk } VERSION {2.5} VERTICES\n{ POSITION_NORMAL 3\n"
                     "0 0 0 0 1 0 1 0 0 0 1 0 0 0 1 0 1 0 }\n"
                     "stray FACES { 2 0 1 2 7\n2 1 0 9 } }\n",
                     model));
    ASSERT_EQ(model.faceCount, 2u);
    EXPECT_EQ(model.faces[0].a, 0u);
    EXPECT_EQ(model.faces[0].b, 1u);
    EXPECT_EQ(model.faces[0].c, 2u);
    EXPECT_EQ(model.faces[1].a, 2u);
    ReleaseModel(model);
}

TEST(ModelFile, MalformedFilesFailCleanly) {
    ErrorCapture errors;
    struct Case {
        const char* what;
        std::string text;
    };
    const Case cases[] = {
        {"face index", "A3F VERTICES { POSITION_NORMAL 1 0 0 0 0 1 0 } FACES { 1 0 0 1 0 }"},
        {"huge vertex count", "A3F VERTICES { POSITION_NORMAL 4294967295 0 0 0 0 1 0 } FACES { 0 }"},
        {"negative face count", "A3F VERTICES { POSITION_NORMAL 0 } FACES { -1 0 0 0 0 }"},
        {"huge material count", "A3F VERTICES { POSITION_NORMAL 0 } FACES { 0 } MATERIALS { 4000000000 }"},
        {"count without records", "A3F VERTICES { POSITION_TEXCOORDS 3 } FACES { 0 }"},
    };
    for (const Case& c : cases) {
        errors.reports.clear();
        Model model;
        EXPECT_FALSE(Load(c.text, model)) << c.what;
        ASSERT_EQ(errors.reports.size(), 1u) << c.what;
        EXPECT_EQ(errors.reports[0].message, "Bad model:") << c.what;
        EXPECT_EQ(errors.reports[0].detail.rfind("test.a3f: ", 0), 0u) << c.what;
        EXPECT_EQ(model.visible, 0u);
        // Nothing over-allocated or out of range is left behind.
        EXPECT_TRUE(model.faces == nullptr || model.faceCount == 0) << c.what;
        EXPECT_LE(model.vertexCount, 1u) << c.what;
        ReleaseModel(model);
    }
}

TEST(ModelFile, UnreadableNumbersBecomeZeroAndRepeatedSectionsReplace) {
    ErrorCapture errors;
    Model model;
    std::string longFile(600, 't');
    ASSERT_TRUE(Load("A3F VERTICES { POSITION_NORMAL 2 0 0 0 0 1 0 9 9 9 9 9 9 }\n"
                     "VERTICES { POSITION_NORMAL 1 4 5 6 0 1 abc }\n"
                     "FACES { 1 5 5 5 5 } FACES { 1 0 0 0 0 }\n"
                     "MATERIALS { 1 { SHININESS shiny TEXTURE { FILE " + longFile + " } } }",
                     model));
    EXPECT_TRUE(errors.reports.empty());
    ASSERT_EQ(model.vertexCount, 1u);
    EXPECT_EQ(model.vertices[0].position.x, 4.0f);
    EXPECT_EQ(model.vertices[0].normal.z, 0.0f);  // "abc" read as no number
    EXPECT_EQ(model.boundsMax.x, 4.0f);           // bounds of the later section only
    EXPECT_EQ(model.faces[0].a, 0u);
    EXPECT_EQ(model.shininess, 0u);
    EXPECT_EQ(std::strlen(model.textureFile), 259u);
    ReleaseModel(model);
}

TEST_F(MediaFolder, OversizedFileIsRefused) {
    std::string big = "A3F COMMENT { " + std::string(MaxModelFileBytes, ' ') + "}";
    dir.Write("big.a3f", big);
    ErrorCapture errors;
    Model model;
    EXPECT_FALSE(LoadModelFile("big.a3f", model));
    ASSERT_EQ(errors.reports.size(), 1u);
    EXPECT_EQ(errors.reports[0].message, "Bad model:");
    EXPECT_EQ(model.visible, 0u);
}

TEST_F(MediaFolder, ArrayModelCopiesAndRestoresDrawArrays) {
    dir.Write("blimp.a3f",
              "A3F VERTICES { POSITION_NORMAL 3 0 0 0 0 1 0 2 0 0 0 0 1 0 3 1 1 0 0 }"
              " FACES { 1 0 1 2 0 }");
    ArrayModel model;
    LoadArrayModel("blimp.a3f", model);
    ASSERT_NE(model.positions, nullptr);
    ASSERT_NE(model.normals, nullptr);
    EXPECT_EQ(model.texCoords, nullptr);  // untextured
    EXPECT_EQ(model.positions[3], 2.0f);
    EXPECT_EQ(model.positions[7], 3.0f);
    EXPECT_EQ(model.normals[5], 1.0f);
    model.positions[7] = -40.0f;  // as the crash drawing disturbs it
    BuildDrawArrays(model);
    EXPECT_EQ(model.positions[7], 3.0f);
    ReleaseArrayModel(model);
    EXPECT_EQ(model.positions, nullptr);
    EXPECT_EQ(model.vertices, nullptr);

    ErrorCapture errors;
    ArrayModel failed;
    LoadArrayModel("missing.a3f", failed);
    EXPECT_EQ(failed.positions, nullptr);
    EXPECT_EQ(failed.visible, 0u);
    EXPECT_TRUE(errors.Has("Could not open file:"));
}
