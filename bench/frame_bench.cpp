// Drawing speed on the software renderer: one drawn frame of play (UpdateGame, ApplyCamera,
// DrawScene, swap) must take under 10 ms at 640 x 480 and under 20 ms at 1024 x 800, and
// LoadAssets with the full media under 300 ms. Needs an X display (Xvfb with Mesa's
// software renderer: LIBGL_ALWAYS_SOFTWARE=1); skipped without one.
#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
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

// The game open at the benchmark's size, in play, with three frames drawn to warm the caches;
// false (the benchmark skipped) without a display.
bool StartDrawnPlay(benchmark::State& state) {
    if (!OpenGame(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)))) {
        state.SkipWithError("needs an X display");
        return false;
    }
    StartPlaying();
    for (int i = 0; i < 3; ++i) DrawnFrame();
    return true;
}

double CpuMs(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return 1e3 * static_cast<double>(t.tv_sec) + 1e-6 * static_cast<double>(t.tv_nsec);
}
double ThreadCpuMs() { return CpuMs(CLOCK_THREAD_CPUTIME_ID); }

// The CPU of every thread of the process (the renderer's rasterising threads too) per frame.
void CountProcessCpu(benchmark::State& state, double startMs) {
    state.counters["process_cpu_ms"] = (CpuMs(CLOCK_PROCESS_CPUTIME_ID) - startMs) / static_cast<double>(state.iterations());
}

void BM_DrawnFrame(benchmark::State& state) {
    if (!StartDrawnPlay(state)) return;
    const double start = CpuMs(CLOCK_PROCESS_CPUTIME_ID);
    for (auto _ : state) DrawnFrame();
    CountProcessCpu(state, start);
}
BENCHMARK(BM_DrawnFrame)->Args({640, 480})->Args({1024, 800})->Unit(benchmark::kMillisecond)->UseRealTime();

// What any frame of this look costs the software renderer at the least, the same view as
// BM_DrawnFrame: the third argument 0 only clears and swaps; 1 draws the sky dome alone over
// the whole window, one textured, linearly filtered layer on every pixel, which is what the
// game's frame cannot go below however little of it is drawn twice.
void BM_FrameFloor(benchmark::State& state) {
    if (!StartDrawnPlay(state)) return;
    const bool sky = state.range(2) != 0;
    const double start = CpuMs(CLOCK_PROCESS_CPUTIME_ID);
    for (auto _ : state) {
        FrameDt = 0.03f;
        BeginFrameDrawing();
        StepGameFrame();
        ApplyCamera();
        if (sky) {
            glDisable(GL_DEPTH_TEST);
            DrawModelList(SkyDomeModel);
            glEnable(GL_DEPTH_TEST);
        }
        EndFrameDrawing();
        glFinish();
    }
    CountProcessCpu(state, start);
}
BENCHMARK(BM_FrameFloor)
    ->Args({640, 480, 0})
    ->Args({640, 480, 1})
    ->Args({1024, 800, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// What the game's own thread spends on a drawn frame, part by part (CPU time of this thread
// alone, per frame): the world's update and the camera, handing the scene to OpenGL (the
// software renderer shades the vertices, clips and sorts the triangles into tiles here),
// and the swap (the renderer's threads rasterise; this one waits, then copies the frame
// to the window). The rasterising threads' time is not in these counters.
void BM_GameThreadParts(benchmark::State& state) {
    if (!StartDrawnPlay(state)) return;
    double update = 0, scene = 0, swap = 0;
    for (auto _ : state) {
        FrameDt = 0.03f;
        const double t0 = ThreadCpuMs();
        BeginFrameDrawing();
        UpdateGame();
        ApplyCamera();
        const double t1 = ThreadCpuMs();
        DrawScene();
        const double t2 = ThreadCpuMs();
        EndFrameDrawing();
        glFinish();
        const double t3 = ThreadCpuMs();
        update += t1 - t0;
        scene += t2 - t1;
        swap += t3 - t2;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["update_ms"] = update / n;
    state.counters["scene_ms"] = scene / n;
    state.counters["swap_ms"] = swap / n;
}
BENCHMARK(BM_GameThreadParts)->Args({640, 480})->Args({1024, 800})->Args({1920, 1080})->Unit(benchmark::kMillisecond)->UseRealTime();

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
