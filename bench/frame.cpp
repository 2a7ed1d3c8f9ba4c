// Drawing speed on the software renderer: one drawn frame of play (UpdateGame, ApplyCamera,
// DrawScene, swap) must take under 10 ms at 640 x 480 and under 20 ms at 1024 x 800, and
// LoadAssets with the full media under 300 ms. Needs an X display (Xvfb with Mesa's
// software renderer: LIBGL_ALWAYS_SOFTWARE=1); skipped without one.
#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/assets.h"
#include "core/game_app.h"
#include "sim/game_flow.h"
#include "app/game_window.h"
#include "sim/world.h"
#include "core/services.h"
#include "assets/texture_cache.h"
#include "audio/mixer.h"
#include "audio/sound_system.h"
#include "platform/executable_path.h"
#include "render/frame.h"
#include "hud/text_overlay.h"
#include "render/scene.h"

namespace {

bool assetsLoaded = false;

// A missing file must not stop the measurement behind a modal box.
void PrintError(const char*, const char*, const char* text, void*) { std::fprintf(stderr, "%s\n", text); }

bool HaveDisplay() {
    const char* d = std::getenv("DISPLAY");
    return d != nullptr && d[0] != '\0';
}

// The build's media folder: <build>/media beside <build>/bench/bench_frame.
void UseBuildMedia() {
    const char* env = std::getenv("KELVANE_MEDIA_DIR");
    if (env != nullptr && env[0] != '\0') {
        SetMediaFolderOverride(env);
        return;
    }
    char path[PathBufferSize];
    if (!PlatformExecutablePath(path, sizeof path)) return;
    std::string p(path);
    p = p.substr(0, p.rfind('/'));
    p = p.substr(0, p.rfind('/')) + "/media";
    SetMediaFolderOverride(p.c_str());
}

void UnloadAssets() {
    if (!assetsLoaded) return;
    // The speech engine stays up: it starts once per process (InitSpeech then does nothing).
    UnloadWorld();
    if (Sound.open.load()) CloseSoundOutput();
    ReleaseOverlay(ScoreOverlay);
    ReleaseTextures();
    assetsLoaded = false;
}

// A game window of the given size with every asset loaded; false without a display.
bool OpenGame(int width, int height) {
    if (!HaveDisplay()) return false;
    if (App.window != nullptr && App.settings.Width == width && App.settings.Height == height && assetsLoaded)
        return true;
    UnloadAssets();
    DestroyGLWindow();
    UseBuildMedia();
    SetErrorReportHook(PrintError, nullptr);
    App.settings.Width = width;
    App.settings.Height = height;
    App.settings.Windowed = 1;
    App.settings.Lights = 0;  // the launcher's default
    const float clear[4] = {0.05f, 0.15f, 0.15f, 0.0f};
    for (int i = 0; i < 4; ++i) App.clearColour[i] = clear[i];
    if (!CreateGLWindow()) return false;
    SetupGLState();
    InitTextureCache(false);
    LoadAssets();
    assetsLoaded = true;
    App.running = true;
    return true;
}

// Start the first mission and skip its briefing: the player sits on the runway with
// the base, the terrain and the sky in view.
void StartPlaying() {
    FrameDt = 0.03f;
    Flow.state = StartMission;
    UpdateGame();
    Flow.state = Playing;
}

void DrawnFrame() {
    FrameDt = 0.03f;
    BeginFrameDrawing();
    StepGameFrame();
    ApplyCamera();
    DrawScene();
    EndFrameDrawing();
    glFinish();
}

void BM_DrawnFrame(benchmark::State& state) {
    int width = static_cast<int>(state.range(0));
    int height = static_cast<int>(state.range(1));
    if (!OpenGame(width, height)) {
        state.SkipWithError("needs an X display");
        return;
    }
    StartPlaying();
    for (int i = 0; i < 3; ++i) DrawnFrame();  // warm the caches
    for (auto _ : state) DrawnFrame();
}
BENCHMARK(BM_DrawnFrame)->Args({640, 480})->Args({1024, 800})->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadAssets(benchmark::State& state) {
    if (!OpenGame(640, 480)) {
        state.SkipWithError("needs an X display");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        UnloadAssets();
        InitTextureCache(false);
        state.ResumeTiming();
        LoadAssets();
        glFinish();
        assetsLoaded = true;
    }
}
BENCHMARK(BM_LoadAssets)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace
