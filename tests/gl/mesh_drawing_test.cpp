#include <gtest/gtest.h>

#include <GL/gl.h>

#include <string>
#include <vector>

#include "core/services.h"
#include "assets/mesh_drawing.h"
#include "assets/texture_cache.h"
#include "support/error_capture.h"
#include "support/gl_context.h"
#include "support/image_files.h"
#include "support/temp_dir.h"

namespace {

constexpr int Size = 32;

// A square over the whole viewport, counter-clockwise seen from the camera, with normals
// and texture coordinates, owned the way the loader owns them.
void MakeSquare(Model& m) {
    const Vertex corners[4] = {
        {{-1, -1, 0}, {0, 0, 1}, 0, 0},
        {{1, -1, 0}, {0, 0, 1}, 1, 0},
        {{1, 1, 0}, {0, 0, 1}, 1, 1},
        {{-1, 1, 0}, {0, 0, 1}, 0, 1},
    };
    m.vertices = new Vertex[4];
    for (int i = 0; i < 4; ++i) m.vertices[i] = corners[i];
    m.vertexCount = 4;
    m.faces = new Face[2]{{0, 1, 2}, {0, 2, 3}};
    m.faceCount = 2;
    m.hasNormals = true;
    m.visible = 1;
    const float red[4] = {1, 0, 0, 1};
    for (int i = 0; i < 4; ++i) m.diffuse[i] = red[i];
}

// The drawing arrays of an array model, as built from its vertices.
void MakeArrays(ArrayModel& m, bool normals, bool texCoords) {
    m.positions = new float[3 * m.vertexCount];
    for (uint32_t i = 0; i < m.vertexCount; ++i) {
        m.positions[3 * i] = m.vertices[i].position.x;
        m.positions[3 * i + 1] = m.vertices[i].position.y;
        m.positions[3 * i + 2] = m.vertices[i].position.z;
    }
    m.hasNormals = normals;
    if (normals) m.normals = new float[3 * m.vertexCount]();
    if (texCoords) {
        m.texCoords = new float[2 * m.vertexCount];
        for (uint32_t i = 0; i < m.vertexCount; ++i) {
            m.texCoords[2 * i] = m.vertices[i].u;
            m.texCoords[2 * i + 1] = m.vertices[i].v;
        }
    }
}

void FreeArrays(ArrayModel& m) {
    delete[] m.positions;
    delete[] m.normals;
    delete[] m.texCoords;
    m.positions = m.normals = m.texCoords = nullptr;
}

// Red, green, blue of the frame's centre pixel.
std::vector<int> Centre() {
    const std::vector<uint8_t> frame = ReadFrame(Size, Size);
    const uint8_t* p = &frame[4 * ((Size / 2) * Size + Size / 2)];
    return {p[0], p[1], p[2]};
}

void ClearToBlue() {
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// The texture coordinates (s) of every vertex a draw sends down the pipeline, captured in
// feedback mode. Empty when nothing was drawn.
template <typename Draw>
std::vector<float> FeedbackS(Draw draw) {
    std::vector<GLfloat> buffer(4096);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint used = glRenderMode(GL_RENDER);
    // Each polygon: token, vertex count, then per vertex x y z, r g b a, s t r q.
    std::vector<float> s;
    for (GLint i = 0; i < used;) {
        if (buffer[i] != GL_POLYGON_TOKEN) break;
        const int n = static_cast<int>(buffer[i + 1]);
        for (int v = 0; v < n; ++v) s.push_back(buffer[i + 2 + v * 11 + 7]);
        i += 2 + n * 11;
    }
    return s;
}

struct MeshDrawing : ::testing::Test {
    GlContext gl{Size, Size};
    void SetUp() override {
        ASSERT_TRUE(gl.Ok()) << gl.error;
        SetGameDrawingState(Size, Size);
    }
};

}  // namespace

TEST_F(MeshDrawing, ConsecutiveCompilesTakeConsecutiveListNames) {
    Model a, b;
    MakeSquare(a);
    MakeSquare(b);
    CompileModelList(a);
    CompileModelList(b);
    ASSERT_NE(a.displayList, 0u);
    EXPECT_EQ(b.displayList, a.displayList + 1);
    EXPECT_TRUE(glIsList(a.displayList));
    EXPECT_TRUE(glIsList(b.displayList));
    ReleaseModel(a);
    ReleaseModel(b);
}

TEST_F(MeshDrawing, AnAlphaListBlendsOnlyForItsOwnDraw) {
    Model glass;
    MakeSquare(glass);
    glass.diffuse[3] = 0.5f;
    glass.alphaMode = AlphaBlackMask;
    CompileModelList(glass);
    ClearToBlue();
    glCallList(glass.displayList);
    const std::vector<int> mixed = Centre();
    EXPECT_NEAR(mixed[0], 128, 3);  // half red over blue
    EXPECT_NEAR(mixed[2], 128, 3);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));

    // An opaque model never touches the switch: blending someone left on stays on.
    Model wall;
    MakeSquare(wall);
    CompileModelList(wall);
    glEnable(GL_BLEND);
    glCallList(wall.displayList);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    glDisable(GL_BLEND);
    ClearToBlue();
    wall.diffuse[3] = 0.5f;  // the list keeps the colour it was compiled with
    glCallList(wall.displayList);
    EXPECT_EQ(Centre(), (std::vector<int>{255, 0, 0}));
    ReleaseModel(glass);
    ReleaseModel(wall);
}

TEST_F(MeshDrawing, ArrayModelWithoutNormalsRestoresTheNormalArray) {
    ArrayModel m;
    MakeSquare(m);
    MakeArrays(m, false, false);
    m.alphaMode = AlphaLuminance;
    m.diffuse[3] = 0.5f;
    ClearToBlue();
    DrawArrayModel(m);
    EXPECT_NEAR(Centre()[0], 128, 3);  // drawn, and blended
    EXPECT_TRUE(glIsEnabled(GL_NORMAL_ARRAY));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
    EXPECT_TRUE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    FreeArrays(m);
    ReleaseModel(m);
}

TEST_F(MeshDrawing, UntexturedArrayModelNeverReadsAnotherModelsCoordinates) {
    // What a textured model drawn before left behind: its own coordinates (all 0.25).
    const std::vector<float> stale(2 * 4, 0.25f);
    glTexCoordPointer(2, GL_FLOAT, 0, stale.data());
    glTexCoord4f(7, 7, 0, 1);  // the current coordinate, used when the array is off

    ArrayModel plain;
    MakeSquare(plain);
    MakeArrays(plain, true, false);
    const std::vector<float> s = FeedbackS([&] { DrawArrayModel(plain); });
    ASSERT_FALSE(s.empty());
    for (float v : s) EXPECT_EQ(v, 7.0f);
    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 0);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));

    // A textured one uses its own coordinates and binds its texture.
    ArrayModel textured;
    MakeSquare(textured);
    MakeArrays(textured, true, true);
    GLuint name = 0;
    glGenTextures(1, &name);
    textured.texture = name;
    std::vector<float> own = FeedbackS([&] { DrawArrayModel(textured); });
    ASSERT_FALSE(own.empty());
    for (float v : own) EXPECT_TRUE(v == 0.0f || v == 1.0f) << v;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, static_cast<GLint>(name));
    FreeArrays(plain);
    FreeArrays(textured);
    ReleaseModel(plain);
    ReleaseModel(textured);
}

TEST_F(MeshDrawing, ArrayModelDrawsWithItsMatrixUnlessInvisible) {
    ArrayModel m;
    MakeSquare(m);
    MakeArrays(m, true, false);
    m.matrix[12] = 0.25f;
    m.visible = 0;
    EXPECT_TRUE(FeedbackS([&] { DrawArrayModel(m); }).empty());
    m.visible = 3;  // a destroyed target is still drawn
    EXPECT_FALSE(FeedbackS([&] { DrawArrayModel(m); }).empty());
    GLfloat modelView[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(modelView[i], m.matrix[i]) << i;
    FreeArrays(m);
    ReleaseModel(m);
}

TEST_F(MeshDrawing, SkinnedModelNeedsItsSkeleton) {
    SkinnedModel skinned;
    MakeSquare(skinned.model);
    std::vector<float> positions = {-1, -1, 0, 1, -1, 0, 1, 1, 0, -1, 1, 0};
    std::vector<float> normals(12, 0.0f);
    skinned.skinPositions = positions.data();
    skinned.skinNormals = normals.data();
    EXPECT_TRUE(FeedbackS([&] { DrawSkinnedModel(skinned); }).empty());
    Bone root{};
    skinned.bones = &root;
    skinned.boneCount = 1;
    EXPECT_EQ(FeedbackS([&] { DrawSkinnedModel(skinned); }).size(), 6u);
    skinned.model.visible = 0;
    EXPECT_TRUE(FeedbackS([&] { DrawSkinnedModel(skinned); }).empty());
    skinned.skinPositions = skinned.skinNormals = nullptr;
    skinned.bones = nullptr;
    ReleaseModel(skinned.model);
}

TEST_F(MeshDrawing, CompileModelLoadsTheFileAndItsTexture) {
    TempDir media;
    SetMediaFolderOverride(media.path.c_str());
    InitTextureCache(true);
    ErrorCapture errors;
    // A green picture on a white quad: drawn through the list, the frame turns green.
    std::string green = TgaHeader(2, 2, 2, 24, 0x20);
    for (int i = 0; i < 4; ++i) green += std::string{0, char(200), 0};
    media.Write("green.tga", green);
    media.Write("quad.a3f",
                "A3F\n"
                "VERTICES { POSITION_NORMAL_TEXCOORDS 4\n"
                "-1 -1 0  0 0 1  0 0\n 1 -1 0  0 0 1  1 0\n"
                " 1  1 0  0 0 1  1 1\n-1  1 0  0 0 1  0 1\n}\n"
                "FACES { 2\n0 1 2 0\n0 2 3 0\n}\n"
                "MATERIALS { 1\n{ NAME paint DIFFUSE 1 1 1 1 SHININESS 5 "
                "TEXTURE { FILE green.tga ALPHA NONE } }\n}\n");
    Model quad, missing;
    CompileModel("quad.a3f", quad);
    CompileModel("missing.a3f", missing);
    EXPECT_EQ(missing.displayList, 0u);
    EXPECT_EQ(missing.visible, 0u);
    ASSERT_NE(quad.displayList, 0u);
    ASSERT_NE(quad.texture, 0u);
    EXPECT_EQ(errors.reports.size(), 1u);  // only the missing model

    ClearToBlue();
    glBindTexture(GL_TEXTURE_2D, quad.texture);
    glLoadMatrixf(quad.matrix.m);
    glCallList(quad.displayList);
    EXPECT_EQ(Centre(), (std::vector<int>{0, 200, 0}));

    ReleaseModel(quad);
    ReleaseTextures();
    SetMediaFolderOverride(nullptr);
}
