// Draws the game at fixed moments of a scripted play session and saves each frame as a
// binary PPM, so that the picture of two builds can be compared pixel by pixel after a
// change meant to make drawing cheaper. Everything that could differ between two runs is
// fixed: the random seed, the clock (30 ms per frame), the frame time and the input.
//
//   kelvane-frameshot <output folder> [WIDTHxHEIGHT] [--hiqual] [--lights]
//
// Needs an X display (Xvfb with LIBGL_ALWAYS_SOFTWARE=1); the media come from
// KELVANE_MEDIA_DIR, else from the media folder beside the program. Saves briefing.ppm,
// home.ppm, end.ppm, pageup.ppm, pagedown.ppm and death.ppm, and prints the window's pixel
// format, the peak memory and the process CPU time per drawn frame (every thread's).
// scripts/compare-pictures runs it for two builds and compares the files.
//
//   kelvane-frameshot <output folder> --session FILE --at SECONDS[,SECONDS...] [--hiqual]
//
// draws instead a session written by `kelvane-pilot --record FILE` (its seed, clock and
// every input event, stepped 30 ms a frame as the pilot ran it) and saves the frames at the
// given seconds of play (after the briefing) as at-<seconds>.ppm; it prints when the
// zeppelin began to fall and when the aircraft was back in the ring, to check against the
// headless flight. FRAMESHOT_TRACE=1 prints the aircraft's position each second of play
// (as kelvane-pilot --log does); FRAMESHOT_STOP=1 ends after the last picture.
#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "app/assets.h"
#include "app/input.h"
#include "core/controls.h"
#include "core/game_app.h"
#include "sim/game_flow.h"
#include "app/game_window.h"
#include "app/settings_file.h"
#include "sim/world.h"
#include "core/services.h"
#include "assets/texture_cache.h"
#include "math/random.h"
#include "platform/executable_path.h"
#include "platform/input_event.h"
#include "render/frame.h"
#include "render/scene.h"
#include "sim/aircraft.h"
#include "sim/camera.h"

namespace {

uint32_t clockMs = 1000;
uint32_t FixedClock() { return clockMs; }

void PrintError(const char*, const char*, const char* text, void*) { std::fprintf(stderr, "%s\n", text); }

std::string outFolder;

// Process CPU time (every thread, the renderer's too) spent drawing, and the frames drawn.
double drawCpuSeconds = 0.0;
int drawnFrames = 0;

double ProcessCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

void Send(InputEventType type, int key, int x = 0, int y = 0) {
    InputEvent e{};
    e.type = type;
    e.key = key;
    e.x = x;
    e.y = y;
    HandleInputMessage(e);
}

bool Save(const char* name) {
    const int w = App.settings.Width, h = App.settings.Height;
    std::vector<unsigned char> rgb(static_cast<size_t>(w) * h * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    std::string path = outFolder + "/" + name + ".ppm";
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    std::fprintf(f, "P6\n%d %d\n255\n", w, h);
    for (int y = h - 1; y >= 0; --y) std::fwrite(&rgb[static_cast<size_t>(y) * w * 3], 1, static_cast<size_t>(w) * 3, f);
    std::fclose(f);
    std::printf("saved %s\n", path.c_str());
    return true;
}

uint64_t FrameHash(const std::vector<unsigned char>& rgb) {
    uint64_t h = 1469598103934665603ull;
    for (unsigned char c : rgb) h = (h ^ c) * 1099511628211ull;
    return h;
}

// The frame as a pilot's mind saw it (rows from the top), hashed, against the recorded hash.
void CheckLook(unsigned long long want, int* matched) {
    const int w = App.settings.Width, h = App.settings.Height;
    std::vector<unsigned char> rows(static_cast<size_t>(w) * h * 3), rgb(rows.size());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, rows.data());
    for (int y = 0; y < h; ++y)
        std::memcpy(&rgb[static_cast<size_t>(y) * w * 3], &rows[static_cast<size_t>(h - 1 - y) * w * 3], static_cast<size_t>(w) * 3);
    if (FrameHash(rgb) == want) ++*matched;
}

// One frame of the game loop with a 30 ms step; saved under `name` when one is given.
void Frame(const char* name = nullptr, const unsigned long long* look = nullptr, int* matched = nullptr) {
    clockMs += 30;
    FrameDt = 0.03f;
    double t0 = ProcessCpuSeconds();
    BeginFrameDrawing();
    StepGameFrame();
    ApplyCamera();
    DrawScene();
    glFinish();
    double t1 = ProcessCpuSeconds();
    if (name != nullptr) Save(name);
    if (look != nullptr) CheckLook(*look, matched);
    double t2 = ProcessCpuSeconds();
    EndFrameDrawing();
    glFinish();
    drawCpuSeconds += (t1 - t0) + (ProcessCpuSeconds() - t2);
    ++drawnFrames;
}

void Frames(int n) {
    for (int i = 0; i < n; ++i) Frame();
}

void Tap(int key, const char* name = nullptr) {
    Send(InputEventType::KeyDown, key);
    Frame(name);
    Send(InputEventType::KeyUp, key);
}

struct SessionEvent {
    int step, type, key, x, y;
};

// Replays a recorded pilot session, drawing every frame; saves those at the wanted seconds
// of play, and checks the frames the mind saw against their recorded hashes. The settings
// are the pilot's defaults (LoadSettings, lights off) but for the picture's own.
int DrawSession(const char* path, std::vector<float> at) {
    FILE* f = std::fopen(path, "r");
    if (f == nullptr) {
        std::perror(path);
        return 1;
    }
    unsigned seed = 0, clock = 0;
    int mission = 0;
    std::vector<SessionEvent> events;
    std::vector<std::pair<int, unsigned long long>> looks;  // the frames the pilot's mind saw
    char line[128];
    bool header = std::fgets(line, sizeof line, f) != nullptr && std::strncmp(line, "kelvane-session 1", 17) == 0;
    while (header && std::fgets(line, sizeof line, f) != nullptr) {
        SessionEvent e{};
        unsigned long long hash = 0;
        if (std::sscanf(line, "random %u", &seed) == 1 || std::sscanf(line, "clock %u", &clock) == 1 ||
            std::sscanf(line, "mission %d", &mission) == 1)
            continue;
        if (std::sscanf(line, "look %d %llx", &e.step, &hash) == 2) looks.emplace_back(e.step, hash);
        else if (std::sscanf(line, "%d %d %d %d %d", &e.step, &e.type, &e.key, &e.x, &e.y) == 5) events.push_back(e);
    }
    std::fclose(f);
    if (!header || mission < 0 || mission >= MissionCount) {
        std::fprintf(stderr, "%s: not a kelvane-pilot session\n", path);
        return 1;
    }
    clockMs = clock;
    SeedRand(seed);
    MissionIndex = mission - 1;  // the next StartNextMission briefs the recorded mission
    size_t next = 0, shot = 0, look = 0;
    int matched = 0;
    int step = 0, playFrames = 0;
    float fell = -1.0f;
    std::sort(at.begin(), at.end());
    while (true) {
        while (next < events.size() && events[next].step == step) {
            const SessionEvent& ev = events[next++];
            Send(static_cast<InputEventType>(ev.type), ev.key, ev.x, ev.y);
        }
        if ((next >= events.size() || std::getenv("FRAMESHOT_STOP")) && shot >= at.size()) break;
        char name[32] = {};
        bool save = shot < at.size() && Flow.state == Playing && (playFrames + 1) * 0.03f >= at[shot];
        if (save) std::snprintf(name, sizeof name, "at-%.1f", at[shot++]);
        bool looked = look < looks.size() && looks[look].first == step;
        Frame(save ? name : nullptr, looked ? &looks[look++].second : nullptr, &matched);
        ++step;
        if (Flow.state == Playing) ++playFrames;  // counted as the pilot counts its play
        if (std::getenv("FRAMESHOT_TRACE") && Flow.state == Playing && playFrames % 33 == 0)
            std::printf("t %.1f (%.0f %.0f %.0f) state %d\n", playFrames * 0.03f, PlayerPlane.position.x, PlayerPlane.position.y, PlayerPlane.position.z, static_cast<int>(Flow.state));
        if (fell < 0.0f && (mission == 2 ? EnemyPlane.destroyed : (mission == 0 ? ZeppelinModel.visible : TankModel.visible) == TargetDestroyed)) {
            fell = playFrames * 0.03f;
            std::printf("the %s began to fall at %.1f s of play\n", Missions[mission].name, fell);
        }
        if (MissionIndex != mission) {
            std::printf("back in the ring at %.1f s of play\n", playFrames * 0.03f);
            break;
        }
        if (Flow.state == Dead || step > 40000) break;
    }
    if (!looks.empty()) std::printf("frames the mind saw: %d of %zu drawn the same\n", matched, looks.size());
    std::printf("state %d; %d steps drawn, %.1f s of play, %zu of %zu input events\n", static_cast<int>(Flow.state), step, playFrames * 0.03f, next, events.size());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: kelvane-frameshot <output folder> [WIDTHxHEIGHT] [--hiqual] [--lights]\n");
        return 2;
    }
    outFolder = argv[1];
    int width = 640, height = 480;
    bool hiQual = false, lights = false;
    const char* session = nullptr;
    std::vector<float> at;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--hiqual") == 0) hiQual = true;
        else if (std::strcmp(argv[i], "--session") == 0 && i + 1 < argc) session = argv[++i];
        else if (std::strcmp(argv[i], "--at") == 0 && i + 1 < argc)
            for (char* t = std::strtok(argv[++i], ","); t != nullptr; t = std::strtok(nullptr, ",")) at.push_back(std::strtof(t, nullptr));
        else if (std::strcmp(argv[i], "--lights") == 0) lights = true;
        else if (std::sscanf(argv[i], "%dx%d", &width, &height) != 2) return 2;
    }
    const char* media = std::getenv("KELVANE_MEDIA_DIR");
    if (media != nullptr && media[0] != '\0') SetMediaFolderOverride(media);
    SetErrorReportHook(PrintError, nullptr);
    SetClockSource(FixedClock);
    // No sound device: a crash waits for the crash sound, which a real device plays out in
    // wall-clock time, not in the fixed frames above.
    setenv("SDL_AUDIODRIVER", "kelvane-none", 1);

    if (session != nullptr) LoadSettings();
    App.settings.Width = width;
    App.settings.Height = height;
    App.settings.Windowed = 1;
    App.settings.Lights = lights ? 1 : 0;
    App.settings.UseHiQualTex = hiQual ? 1 : 0;
    const float clear[4] = {0.05f, 0.15f, 0.15f, 0.0f};
    for (int i = 0; i < 4; ++i) App.clearColour[i] = clear[i];
    if (!CreateGLWindow()) return 1;
    SetupGLState();
    GLint bits[6] = {};
    const GLenum names[6] = {GL_RED_BITS, GL_GREEN_BITS, GL_BLUE_BITS, GL_ALPHA_BITS, GL_DEPTH_BITS, GL_STENCIL_BITS};
    for (int i = 0; i < 6; ++i) glGetIntegerv(names[i], &bits[i]);
    std::printf("pixel format: RGBA %d%d%d%d, depth %d, stencil %d\n", bits[0], bits[1], bits[2], bits[3], bits[4], bits[5]);
    InitTextureCache(hiQual);
    if (!LoadAssets()) return 1;
    App.running = true;
    App.lastFrameTime = Seconds();
    if (session != nullptr) return DrawSession(session, at);
    SeedRand(4242);

    Flow.state = StartMission;
    Frames(20);
    Frame("briefing");

    // Off the runway: Space ends the briefing, full throttle, stick back, guns firing.
    Tap(vk::Space);
    Tap(vk::Digit0 + 9);
    Send(InputEventType::MouseMove, 0, width / 2, height - 1);
    Frames(140);
    Send(InputEventType::KeyDown, vk::Space);
    Frames(10);
    Frame("home");
    Tap(vk::End, "end");
    Tap(vk::PageUp, "pageup");
    Tap(vk::PageDown, "pagedown");
    Send(InputEventType::KeyUp, vk::Space);
    Tap(vk::PageUp);

    // Nose down into the ground, then the death puff grows for a second.
    Send(InputEventType::MouseMove, 0, width / 2, 0);
    int n = 0;
    while (Flow.state != Dead && n < 4000) {
        Frame();
        ++n;
    }
    if (Flow.state != Dead) {
        std::fprintf(stderr, "no crash within %d frames\n", n);
        return 1;
    }
    Frames(30);
    Frame("death");
    std::printf("crashed after %d frames\n", n);
    if (FILE* status = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, status) != nullptr)
            if (std::strncmp(line, "VmHWM:", 6) == 0 || std::strncmp(line, "RssFile:", 8) == 0 || std::strncmp(line, "RssAnon:", 8) == 0) std::fputs(line, stdout);
        std::fclose(status);
    }
    std::printf("%d frames drawn, %.2f ms of process CPU per frame\n", drawnFrames, 1000.0 * drawCpuSeconds / drawnFrames);
    return 0;
}
