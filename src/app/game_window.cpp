#include "app/game_window.h"

#include <GL/gl.h>

#include <chrono>

#include "core/game_app.h"
#include "core/joystick.h"
#include "app/launcher.h"
#include "app/settings_file.h"
#include "core/services.h"
#include "assets/texture_cache.h"
#include "math/random.h"
#include "math/view.h"
#include "platform/window.h"

namespace {

// The system's millisecond count since boot: a seed that differs from run to run (the
// game's own clock starts near zero at every start).
uint32_t UptimeMilliseconds() {
    auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

// Multiplies the perspective frustum onto the current matrix (the caller selected and
// cleared the projection stack).
void SetProjection(float aspect) {
    Frustum f = ProjectionFrustum(aspect);
    glFrustum(f.left, f.right, f.bottom, f.top, f.nearPlane, f.farPlane);
}

void SetColour(float* out, float r, float g, float b, float a) {
    out[0] = r;
    out[1] = g;
    out[2] = b;
    out[3] = a;
}

void SetLighting() {
    LightSlot& light = App.light0;
    if (App.settings.Lights == 0) {
        glDisable(GL_LIGHTING);
        light = LightSlot{};
    } else {
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        SetColour(light.ambient, 0.1f, 0.1f, 0.1f, 1.0f);
        SetColour(light.diffuse, 1.0f, 1.0f, 1.0f, 1.0f);
        SetColour(light.specular, 0.2f, 0.2f, 0.2f, 1.0f);
        // Given while the modelview is the identity: with the view kept on the projection
        // stack this is a point light fixed at world (0, 1, 1).
        SetColour(light.position, 0.0f, 1.0f, 1.0f, 1.0f);
        glLightfv(GL_LIGHT0, GL_AMBIENT, light.ambient);
        glLightfv(GL_LIGHT0, GL_DIFFUSE, light.diffuse);
        glLightfv(GL_LIGHT0, GL_SPECULAR, light.specular);
        glLightfv(GL_LIGHT0, GL_POSITION, light.position);
        glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 0);
        glMaterialfv(GL_FRONT, GL_EMISSION, light.ambient);
        glMaterialfv(GL_FRONT, GL_SPECULAR, light.specular);
    }
    // The default material; with lighting off the light's colours are all zero.
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glMaterialfv(GL_FRONT, GL_AMBIENT, light.ambient);
    glMaterialfv(GL_FRONT, GL_EMISSION, light.ambient);
    glMaterialfv(GL_FRONT, GL_SPECULAR, light.diffuse);
}

}  // namespace

bool InitGame(const float clearColour[4]) {
    for (int i = 0; i < 4; ++i) App.clearColour[i] = clearColour[i];
    SeedRand(UptimeMilliseconds());

    // Before the launcher, so that a pad can press its Start.
    StartPads();
    if (!RunLauncher("Kelvane")) return false;
    if (!CreateGLWindow()) {
        App.running = false;
        return false;
    }
    SetupGLState();

    const Settings& s = App.settings;
    InitTextureCache(s.UseHiQualTex != 0);
    if (s.Joystick != 0) InitJoystick();

    App.running = true;
    App.lastFrameTime = Seconds();
    return true;
}

void SetupGLState() {
    const Settings& s = App.settings;
    glClearColor(App.clearColour[0], App.clearColour[1], App.clearColour[2], App.clearColour[3]);
    glViewport(0, 0, s.Width, s.Height);

    // The projection stack stays selected: every frame pushes it, multiplies the view on
    // and pops it again.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    SetProjection(static_cast<float>(s.Width) / static_cast<float>(s.Height));

    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CCW);
    glCullFace(GL_BACK);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);  // blending itself stays off
    glEnable(GL_TEXTURE_2D);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    SetLighting();

    ViewFromBasis(App.camera, Vec3{0, 1, -5}, Vec3{0, 0, 1}, Vec3{-1, 0, 0}, Vec3{0, 1, 0});
    App.cameraMatrix = &App.camera;
}

bool CreateGLWindow() {
    Settings& s = App.settings;
    // "ScreenRez": the desktop's size, which is also what game.ini gets at exit.
    if (s.UseScreenRes == 3) PlatformDesktopSize(s.Width, s.Height);
    // The size is divided by in the projection and the mouse mapping.
    KeepUsableWindowSize(s);
    bool fullScreen = s.Windowed == 0;
    App.window = PlatformCreateGLWindow("Kelvane", s.Width, s.Height, fullScreen);
    if (App.window == nullptr) return false;
    App.fullScreen = fullScreen;
    return true;
}

void DestroyGLWindow() {
    if (App.window == nullptr) return;
    PlatformDestroyGLWindow(App.window);
    App.window = nullptr;
    App.fullScreen = false;
}

void ApplyCamera() {
    // The pushed projection gets the view; the modelview then holds only each drawn
    // object's own matrix, so lighting works in world coordinates.
    glMultMatrixf(App.cameraMatrix->m);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
