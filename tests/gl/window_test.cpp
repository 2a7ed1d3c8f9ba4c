#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <cstdlib>

#include "core/game_app.h"
#include "app/game_window.h"
#include "core/services.h"
#include "assets/texture_cache.h"
#include "math/view.h"
#include "platform/window.h"
#include "render/frame.h"
#include "support/error_capture.h"
#include "support/temp_dir.h"
#include "support/x_driver.h"

namespace {

const float ClearColour[4] = {0.05f, 0.15f, 0.15f, 0.0f};

struct WindowFixture : ::testing::Test {
    TempDir media;  // without splash.jpg: the launcher reports it
    ErrorCapture errors;
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs an X display";
        SetMediaFolderOverride(media.path.c_str());
        App = GameApp{};
        for (int i = 0; i < 4; ++i) App.clearColour[i] = ClearColour[i];
        App.settings.Lights = 0;
    }
    void TearDown() override {
        DestroyGLWindow();
        App = GameApp{};
        SetMediaFolderOverride(nullptr);
    }
    void Open() {
        ASSERT_TRUE(CreateGLWindow());
        SetupGLState();
    }
};

void ExpectFloats(const float* got, std::initializer_list<float> want, const char* what) {
    int i = 0;
    for (float w : want) {
        EXPECT_NEAR(got[i], w, 1e-6f) << what << " [" << i << "]";
        ++i;
    }
}

GLint Integer(GLenum name) {
    GLint v = -1;
    glGetIntegerv(name, &v);
    return v;
}

}  // namespace

TEST_F(WindowFixture, WindowedContextHasEveryFixedState) {
    Open();
    ASSERT_NE(App.window, nullptr);
    EXPECT_FALSE(App.fullScreen);
    ASSERT_NE(glGetString(GL_VERSION), nullptr);
    EXPECT_GE(PlatformDepthBits(App.window), 16);
    EXPECT_GE(Integer(GL_DEPTH_BITS), 16);

    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_TRUE(glIsEnabled(GL_NORMAL_ARRAY));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
    EXPECT_EQ(Integer(GL_FRONT_FACE), GL_CCW);
    EXPECT_EQ(Integer(GL_CULL_FACE_MODE), GL_BACK);
    EXPECT_EQ(Integer(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(Integer(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_EQ(Integer(GL_MATRIX_MODE), GL_PROJECTION);
    // The frame keeps three levels of the projection stack.
    EXPECT_GE(Integer(GL_MAX_PROJECTION_STACK_DEPTH), 3);

    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 480);
    float clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    ExpectFloats(clear, {0.05f, 0.15f, 0.15f, 0.0f}, "clear colour");

    // 45 degrees vertically, aspect 640/480, near 1, far 160000.
    float p[16];
    glGetFloatv(GL_PROJECTION_MATRIX, p);
    const float t = std::tan(0.39269876f);
    EXPECT_NEAR(p[5], 1.0f / t, 1e-4f);
    EXPECT_NEAR(p[0], 1.0f / (t * 640.0f / 480.0f), 1e-4f);
    EXPECT_NEAR(p[10], -(160000.0f + 1.0f) / (160000.0f - 1.0f), 1e-5f);
    EXPECT_NEAR(p[14], -2.0f * 160000.0f / (160000.0f - 1.0f), 1e-4f);

    // Lights off: the material takes the light's all-zero colours.
    float m[4];
    glGetMaterialfv(GL_FRONT, GL_AMBIENT, m);
    ExpectFloats(m, {0, 0, 0, 0}, "ambient");
    glGetMaterialfv(GL_FRONT, GL_EMISSION, m);
    ExpectFloats(m, {0, 0, 0, 0}, "emission");
    glGetMaterialfv(GL_FRONT, GL_SPECULAR, m);
    ExpectFloats(m, {0, 0, 0, 0}, "specular");
    glGetFloatv(GL_CURRENT_COLOR, m);
    ExpectFloats(m, {1, 1, 1, 1}, "colour");

    Mat4 view;
    ViewFromBasis(view, Vec3{0, 1, -5}, Vec3{0, 0, 1}, Vec3{-1, 0, 0}, Vec3{0, 1, 0});
    EXPECT_EQ(App.cameraMatrix, &App.camera);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(App.camera.m[i], view.m[i]) << i;
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(WindowFixture, LightsGiveOnePointLightAndTheDefaultMaterial) {
    App.settings.Lights = 1;
    Open();
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    float v[4];
    glGetLightfv(GL_LIGHT0, GL_AMBIENT, v);
    ExpectFloats(v, {0.1f, 0.1f, 0.1f, 1.0f}, "light ambient");
    glGetLightfv(GL_LIGHT0, GL_DIFFUSE, v);
    ExpectFloats(v, {1, 1, 1, 1}, "light diffuse");
    glGetLightfv(GL_LIGHT0, GL_SPECULAR, v);
    ExpectFloats(v, {0.2f, 0.2f, 0.2f, 1.0f}, "light specular");
    glGetLightfv(GL_LIGHT0, GL_POSITION, v);  // given under an identity modelview
    ExpectFloats(v, {0, 1, 1, 1}, "light position");
    glGetMaterialfv(GL_FRONT, GL_AMBIENT, v);
    ExpectFloats(v, {0.1f, 0.1f, 0.1f, 1.0f}, "material ambient");
    glGetMaterialfv(GL_FRONT, GL_EMISSION, v);
    ExpectFloats(v, {0.1f, 0.1f, 0.1f, 1.0f}, "material emission");
    glGetMaterialfv(GL_FRONT, GL_SPECULAR, v);  // the light's diffuse wins over its specular
    ExpectFloats(v, {1, 1, 1, 1}, "material specular");
    GLint localViewer = -1;
    glGetIntegerv(GL_LIGHT_MODEL_LOCAL_VIEWER, &localViewer);
    EXPECT_EQ(localViewer, 0);
}

TEST_F(WindowFixture, ACameraFrameUsesTheProjectionStackAndEndsWhereItBegan) {
    Open();
    float bare[16];
    glGetFloatv(GL_PROJECTION_MATRIX, bare);
    BeginFrameDrawing();
    ApplyCamera();
    EXPECT_EQ(Integer(GL_MATRIX_MODE), GL_MODELVIEW);
    float mv[16], pv[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, mv);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(mv[i], Identity4.m[i]) << i;
    // projection x view, column-major.
    glGetFloatv(GL_PROJECTION_MATRIX, pv);
    const float* v = App.camera.m;
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) {
            float sum = 0;
            for (int k = 0; k < 4; ++k) sum += bare[4 * k + r] * v[4 * c + k];
            EXPECT_NEAR(pv[4 * c + r], sum, 1e-3f * (1.0f + std::fabs(sum))) << c << "," << r;
        }
    // The cleared frame shows the clear colour.
    unsigned char pixel[4];
    glReadPixels(320, 240, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_NEAR(pixel[0], 13, 2);
    EXPECT_NEAR(pixel[1], 38, 2);
    EXPECT_NEAR(pixel[2], 38, 2);
    EndFrameDrawing();
    EXPECT_EQ(Integer(GL_MATRIX_MODE), GL_PROJECTION);
    float after[16];
    glGetFloatv(GL_PROJECTION_MATRIX, after);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(after[i], bare[i]) << i;
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(WindowFixture, DestroyIsSafeTwiceAndTheWindowCanOpenAgain) {
    Open();
    DestroyGLWindow();
    EXPECT_EQ(App.window, nullptr);
    DestroyGLWindow();
    EXPECT_EQ(App.window, nullptr);
    Open();
    EXPECT_NE(App.window, nullptr);
}

TEST_F(WindowFixture, SizesFollowTheSettings) {
    App.settings.Width = 1024;
    App.settings.Height = 800;
    App.settings.UseScreenRes = 2;
    Open();
    int l, t, r, b;
    PlatformWindowBounds(App.window, l, t, r, b);
    EXPECT_EQ(r - l, 1024);
    EXPECT_EQ(b - t, 800);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 1024);
    EXPECT_EQ(viewport[3], 800);
}

TEST_F(WindowFixture, ScreenRezTakesTheDesktopSize) {
    int dw = 0, dh = 0;
    ASSERT_TRUE(PlatformDesktopSize(dw, dh));
    App.settings.UseScreenRes = 3;  // the launcher stored 640 x 480
    Open();
    EXPECT_EQ(App.settings.Width, dw);
    EXPECT_EQ(App.settings.Height, dh);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], dw);
    EXPECT_EQ(viewport[3], dh);
}

TEST_F(WindowFixture, FullScreenGivesTheDesktopBackWhenClosed) {
    int dw = 0, dh = 0;
    ASSERT_TRUE(PlatformDesktopSize(dw, dh));
    App.settings.Windowed = 0;
    App.settings.Width = 800;
    App.settings.Height = 600;
    Open();
    EXPECT_TRUE(App.fullScreen);
    ASSERT_NE(glGetString(GL_VERSION), nullptr);
    DestroyGLWindow();
    EXPECT_FALSE(App.fullScreen);
    int w = 0, h = 0;
    ASSERT_TRUE(PlatformDesktopSize(w, h));
    EXPECT_EQ(w, dw);
    EXPECT_EQ(h, dh);
}

TEST_F(WindowFixture, InitGameRunsTheLauncherThenOpensTheWindow) {
    media.Write("game.ini", "[Game]\nUseHiQualTex=1\nLights=1\n");
    pid_t driver = StartDriver(
        "W=$(timeout 20 xdotool search --sync --onlyvisible --name '^Kelvane$' | head -1); [ -n \"$W\" ] || exit 1; "
        "sleep 0.3; xdotool mousemove --window $W 596 432 click 1");
    bool ok = InitGame(ClearColour);
    EXPECT_EQ(StopDriver(driver, true), 0);
    ASSERT_TRUE(ok);
    EXPECT_TRUE(App.running);
    EXPECT_NE(App.window, nullptr);
    EXPECT_TRUE(App.settings.dirty);
    EXPECT_TRUE(Textures.highQuality);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_NEAR(App.lastFrameTime, Seconds(), 1.0f);
}

TEST_F(WindowFixture, InitGameEndsWithoutAWindowWhenTheLauncherIsClosed) {
    pid_t closer = StartCloser("Kelvane", 20000);
    bool ok = InitGame(ClearColour);
    EXPECT_EQ(StopDriver(closer, true), 0);
    EXPECT_FALSE(ok);
    EXPECT_FALSE(App.running);
    EXPECT_EQ(App.window, nullptr);
    EXPECT_FALSE(App.settings.dirty);
}
