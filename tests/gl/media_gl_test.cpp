// The generated media loaded the way the game loads them, with an OpenGL context: every
// model and texture without a single error report, the runway's mipmaps, and a few views
// drawn with back faces culled (the sky dome from inside, the land from above, the upper
// wing from the pilot's eye).
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "core/services.h"
#include "assets/mesh_drawing.h"
#include "assets/model.h"
#include "assets/skinned_model.h"
#include "assets/texture_cache.h"
#include "support/error_capture.h"
#include "support/gl_context.h"
#include "support/media.h"

namespace {

constexpr int Size = 64;

struct MediaGl : ::testing::Test {
    GlContext gl{Size, Size};
    void SetUp() override {
        if (GeneratedMediaDir().empty()) GTEST_SKIP() << "KELVANE_MEDIA_DIR is not set";
        ASSERT_TRUE(gl.Ok()) << gl.error;
        SetGameDrawingState(Size, Size);
        UseGeneratedMedia();
        InitTextureCache(true);
    }
    void TearDown() override {
        ReleaseTextures();
        SetMediaFolderOverride(nullptr);
    }

    // A camera at eye looking along `forward` (y up), with a square field of view.
    void Look(Vec3 eye, Vec3 forward, float halfAngle, float nearPlane, float farPlane) {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        float h = nearPlane * std::tan(halfAngle);
        glFrustum(-h, h, -h, h, nearPlane, farPlane);
        Vec3 f = forward;
        Normalize(f);
        Vec3 up = std::fabs(f.y) > 0.99f ? Vec3{0, 0, 1} : Vec3{0, 1, 0};
        Vec3 s = Cross(f, up);
        Normalize(s);
        Vec3 u = Cross(s, f);
        const float view[16] = {s.x, u.x, -f.x, 0, s.y, u.y, -f.y, 0, s.z, u.z, -f.z, 0, 0, 0, 0, 1};
        glMultMatrixf(view);
        glTranslatef(-eye.x, -eye.y, -eye.z);
        glMatrixMode(GL_MODELVIEW);
        glClearColor(1, 0, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }

    void Draw(const Model& model) {
        glLoadMatrixf(model.matrix.m);
        glBindTexture(GL_TEXTURE_2D, model.texture);
        glCallList(model.displayList);
    }

    // Pixels of the frame still showing the magenta clear colour, in rows [y0, y1) counted
    // from the top.
    int Uncovered(int y0, int y1) {
        std::vector<uint8_t> frame = ReadFrame(Size, Size);
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = 0; x < Size; ++x) {
                const uint8_t* p = &frame[4 * (static_cast<size_t>(Size - 1 - y) * Size + x)];
                if (p[0] == 255 && p[1] == 0 && p[2] == 255) ++n;
            }
        return n;
    }
};

}  // namespace

TEST_F(MediaGl, EveryModelAndTextureLoadsAsTheGameLoadsThem) {
    ErrorCapture errors;
    Model terrain, triplane, hangar, runway, shot, sky, smoke;
    ArrayModel zeppelin, tank;
    SkinnedModel biplane;
    CompileModel("terrain.a3f", terrain);
    LoadSkinnedModel(biplane, "biplane.a3f");
    CompileModel("triplane.a3f", triplane);
    CompileModel("hangar.a3f", hangar);
    CompileModel("runway.a3f", runway);
    EXPECT_TRUE(BuildMipmaps(runway.texture)) << "the runway gets the high-quality mipmaps";
    LoadArrayModel("blimp.a3f", zeppelin);
    CompileModel("shot.a3f", shot);
    CompileModel("skydome.a3f", sky);
    LoadArrayModel("tank.a3f", tank);
    CompileModel("smoke.a3f", smoke);
    for (const ErrorReport& r : errors.reports) ADD_FAILURE() << r.text;
    for (const Model* m : {&terrain, &triplane, &hangar, &runway, &shot, &sky, &smoke}) {
        EXPECT_EQ(m->visible, 1u);
        EXPECT_NE(m->displayList, 0u);
    }
    const Model* textured[] = {&terrain, &triplane, &hangar, &runway, &sky, &smoke, &zeppelin, &tank, &biplane.model};
    for (const Model* m : textured)
        EXPECT_NE(m->texture, 0u) << m->textureFile;
    EXPECT_EQ(shot.texture, 0u);
    EXPECT_NE(zeppelin.texCoords, nullptr);
    EXPECT_NE(tank.texCoords, nullptr);
    EXPECT_NE(biplane.bones, nullptr);
    EXPECT_NE(biplane.skinTexCoords, nullptr);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    ReleaseSkinnedModel(biplane);
    ReleaseArrayModel(zeppelin);
    ReleaseArrayModel(tank);
    for (Model* m : {&terrain, &triplane, &hangar, &runway, &shot, &sky, &smoke}) ReleaseModel(*m);
}

TEST_F(MediaGl, TheSkyDomeSurroundsTheViewerAndTheLandLiesBelow) {
    Model sky, terrain;
    CompileModel("skydome.a3f", sky);
    CompileModel("terrain.a3f", terrain);
    PlacementMatrix(sky.matrix, 80000, 80000, 80000, {0, 0, 0}, {0, -5000, 0});
    // From above the base: up, toward the horizon each way, the dome covers everything.
    const Vec3 eye = {7600, 1500, 6500};
    for (Vec3 forward : {Vec3{0, 1, 0}, Vec3{1, 0, 0}, Vec3{-1, 0, 0}, Vec3{0, 0, 1}, Vec3{0, 0.2f, -1}}) {
        Look(eye, forward, 0.25f, 10, 200000);
        Draw(sky);
        EXPECT_EQ(Uncovered(0, Size), 0) << "looking along " << forward.x << "," << forward.y << "," << forward.z;
    }
    // Looking down, the terrain's upward faces fill the view.
    Look(eye, {0, -1, 0}, 0.5f, 10, 200000);
    Draw(terrain);
    EXPECT_EQ(Uncovered(0, Size), 0);
    ReleaseModel(sky);
    ReleaseModel(terrain);
}

TEST_F(MediaGl, ThePilotSeesTheUpperWingAboveTheHorizon) {
    SkinnedModel biplane;
    LoadSkinnedModel(biplane, "biplane.a3f");
    ASSERT_NE(biplane.bones, nullptr);
    UpdateSkinnedModel(biplane, 0.0f);
    Look({0, 0.85f, -1.0f}, {0, 0, 1}, 0.6f, 0.05f, 100);
    DrawSkinnedModel(biplane);
    // The wing's underside spans the view between about 8 and 13 degrees up.
    int top = static_cast<int>(Size / 2 - std::tan(0.22f) / std::tan(0.6f) * Size / 2);
    int bottom = static_cast<int>(Size / 2 - std::tan(0.15f) / std::tan(0.6f) * Size / 2);
    int rows = bottom - top;
    ASSERT_GT(rows, 1);
    EXPECT_LT(Uncovered(top, bottom), rows * Size / 10);
    // Straight ahead the way is clear: the propeller disc aside, the pilot sees out.
    EXPECT_GT(Uncovered(Size / 2 - 2, Size / 2 + 2), 0);
    ReleaseSkinnedModel(biplane);
}
