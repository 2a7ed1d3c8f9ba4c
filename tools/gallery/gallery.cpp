// Draws every model (.a3f) of the media folder with its texture from three sides, one row
// per model labelled with its file name, into one PNG contact sheet, so the content can be
// looked at without flying to it.
//
//   gallery [output.png] [media folder]
//
// Defaults: docs/gallery.png, and the media folder beside the game (<build>/media). Needs
// an X display (Xvfb with LIBGL_ALWAYS_SOFTWARE=1 on a headless machine).
#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <string>
#include <vector>

#include "core/game_app.h"
#include "app/game_window.h"
#include "core/services.h"
#include "assets/mesh_drawing.h"
#include "assets/model.h"
#include "assets/texture_cache.h"
#include "math/view.h"
#include "platform/executable_path.h"
#include "png_writer.h"
#include "render/overlay.h"

namespace {

constexpr int Cell = 256;
constexpr int Views = 3;
// Each view: turn about the vertical (degrees, 0 looks at the model's front, +z) and
// height above the horizontal (degrees).
constexpr float ViewYaw[Views] = {35.0f, 100.0f, 210.0f};
constexpr float ViewPitch[Views] = {20.0f, 5.0f, 55.0f};

void PrintError(const char*, const char*, const char* text, void*) { std::fprintf(stderr, "%s\n", text); }

std::string DefaultMediaFolder() {
    char path[PathBufferSize];
    if (!PlatformExecutablePath(path, sizeof path)) return "media";
    std::string p(path);
    // <build>/tools/gallery/gallery -> <build>/media
    for (int i = 0; i < 3; ++i) p = p.substr(0, p.rfind('/'));
    return p + "/media";
}

std::vector<std::string> ModelFiles(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return names;
    while (dirent* e = readdir(dir)) {
        std::string n = e->d_name;
        if (n.size() > 4 && n.compare(n.size() - 4, 4, ".a3f") == 0) names.push_back(n);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

// A view of the model's bounding sphere from the given direction, filling the cell.
void SetView(const Model& m, float yawDeg, float pitchDeg) {
    Vec3 lo = m.boundsMin, hi = m.boundsMax;
    Vec3 centre = (lo + hi) * 0.5f;
    float radius = Length(hi - lo) * 0.5f;
    if (radius <= 0.0f) radius = 1.0f;
    const float yaw = yawDeg * 0.0174533f, pitch = pitchDeg * 0.0174533f;
    Vec3 dir = {std::sin(yaw) * std::cos(pitch), std::sin(pitch), std::cos(yaw) * std::cos(pitch)};
    const float distance = radius / std::sin(0.3926991f) * 1.05f;
    Vec3 eye = centre + dir * distance;

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const double t = std::tan(0.3926991) * distance * 0.01;
    glFrustum(-t, t, -t, t, distance * 0.01, distance * 4.0);
    LookAt(eye, centre, Vec3{0, 1, 0});
    glMultMatrixf(LookAtMatrix.m);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

}  // namespace

int main(int argc, char** argv) {
    std::string output = argc > 1 ? argv[1] : "docs/gallery.png";
    std::string media = argc > 2 ? argv[2] : DefaultMediaFolder();
    SetMediaFolderOverride(media.c_str());
    SetErrorReportHook(PrintError, nullptr);

    std::vector<std::string> files = ModelFiles(media);
    if (files.empty()) {
        std::fprintf(stderr, "no .a3f models in %s\n", media.c_str());
        return 1;
    }
    App.settings.Width = Cell * Views;
    App.settings.Height = Cell;
    App.settings.Windowed = 1;
    App.settings.Lights = 0;
    for (float& c : App.clearColour) c = 0.45f;
    App.clearColour[3] = 1.0f;
    if (!CreateGLWindow()) {
        std::fprintf(stderr, "cannot open an OpenGL window (is DISPLAY set?)\n");
        return 1;
    }
    SetupGLState();
    // Inward-facing models (the sky dome) are seen from outside here.
    glDisable(GL_CULL_FACE);
    // The pictures as they were made, not the 8-bit textures of the default setting.
    InitTextureCache(true);

    TextOverlay label;
    const int width = Cell * Views;
    const int height = Cell * static_cast<int>(files.size());
    std::vector<uint8_t> sheet(static_cast<size_t>(width) * height * 3);
    std::vector<uint8_t> row(static_cast<size_t>(width) * Cell * 4);
    for (size_t i = 0; i < files.size(); ++i) {
        ArrayModel model;
        LoadArrayModel(files[i].c_str(), model);
        glViewport(0, 0, width, Cell);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        for (int v = 0; v < Views; ++v) {
            glViewport(v * Cell, 0, Cell, Cell);
            SetView(model, ViewYaw[v], ViewPitch[v]);
            DrawArrayModel(model);
        }
        // The file name in the HUD's box at the row's bottom-left corner.
        glViewport(0, 0, width, Cell);
        CreateOverlay(label, 0, Cell - 24, 120, Cell, width, Cell, false);
        DrawOverlayText(label, files[i].c_str(), OverlayRect{0, 0, 120, 24}, 0);
        DrawOverlay(label);
        ReleaseOverlay(label);
        glFinish();
        glReadPixels(0, 0, width, Cell, GL_RGBA, GL_UNSIGNED_BYTE, row.data());
        for (int y = 0; y < Cell; ++y)
            for (int x = 0; x < width; ++x) {
                const uint8_t* p = &row[(static_cast<size_t>(Cell - 1 - y) * width + x) * 4];
                uint8_t* q = &sheet[((i * Cell + y) * width + x) * 3];
                q[0] = p[0];
                q[1] = p[1];
                q[2] = p[2];
            }
        if (model.visible == 0) std::fprintf(stderr, "%s did not load\n", files[i].c_str());
        ReleaseArrayModel(model);
    }
    ReleaseTextures();
    DestroyGLWindow();
    if (!WritePng(output, sheet, width, height)) {
        std::fprintf(stderr, "cannot write %s\n", output.c_str());
        return 1;
    }
    std::printf("wrote %s: %zu models\n", output.c_str(), files.size());
    return 0;
}
