// Draws the game at fixed moments of a scripted play session and saves each frame as a
// binary PPM, so that the picture of two builds can be compared pixel by pixel after a
// change meant to make drawing cheaper. Everything that could differ between two runs is
// fixed: the random seed, the clock (30 ms per frame), the frame time and the input.
//
//   kelvane-frameshot <output folder> [WIDTHxHEIGHT] [--hiqual] [--lights]
//
// Needs an X display (Xvfb with LIBGL_ALWAYS_SOFTWARE=1); the media come from
// KELVANE_MEDIA_DIR, else from the media folder beside the program. Saves briefing.ppm,
// home.ppm, end.ppm, pageup.ppm, pagedown.ppm and death.ppm from play, then the posed
// frames: the world held still (a briefing that does not end) with the aircraft and the
// targets placed where the draw order could show: the base from 2,000 to 5,000 away (the
// runway lies just above the terrain, so at range their depths nearly tie), high up, the
// world's edge, the falling zeppelin and the sinking tank (their collapse runs while they
// are drawn), the triplane's smoke trail, the rear view in flight, the target views and
// the Tank and Vornhald briefings. Prints the window's pixel format, the peak memory and
// the process CPU time per drawn frame (every thread's). scripts/compare-pictures runs it
// for two builds and compares the files.
//
// --sightings draws the way home from far off and high up (land-*.ppm), then poses the
// aircraft at a series of ranges from each target (the tank from above, the zeppelin from
// below, the triplane level and from above), in the pilot's view, from four sides, and
// draws each pose with the target and without it. It prints, per target and range, on how
// many sides the target covers 2 x 2 pixels at all, and on how many it stands out: at least
// 2 x 2 pixels that differ from what lies behind it by 32 or more in red, green or blue,
// and the mean of that largest difference over the pixels it covers. The first side's frames are saved as sight-<target>-<range>.ppm.
//
// --depth16 draws every frame into an offscreen buffer with a 16-bit depth buffer instead
// of the window's (some drivers give the window no more): a far part of the scene that
// rounds to the farthest depth must look the same as with the window's depth.
//
//   kelvane-frameshot <output folder> --session FILE --at SECONDS[,SECONDS...] [--hiqual]
//
// draws instead a session written by `kelvane-pilot --record FILE` (its seed, clock and
// every input event, stepped 30 ms a frame as the pilot ran it) and saves the frames at the
// given seconds of play (after the briefing) as at-<seconds>.ppm; it prints when the
// zeppelin began to fall and when the aircraft was back in the ring, to check against the
// headless flight. FRAMESHOT_TRACE=1 prints the aircraft's position each second of play
// (as kelvane-pilot --log does); FRAMESHOT_STOP=1 ends after the last picture.
//
//   kelvane-frameshot <output folder> --session FILE --hash [--save-steps N[,N...]]
//
// (FILE a pilot session or a game recording, *.rec) draws the whole session and prints one line per drawn frame, "frame <step> <hash>" (FNV-1a
// of its pixels), so that two builds can be compared over every frame of a flight; the
// frames of the given steps are saved as step-<n>.ppm, to look at where the hashes differ.
// A line "voices <step> <mask>" follows each frame after which the set of playing voices
// changed (bit n: voice n), so that the sounds' starts and stops can be compared too.
#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cmath>
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
#include "audio/sound_system.h"
#include "math/random.h"
#include "platform/executable_path.h"
#include "platform/input_event.h"
#include "render/frame.h"
#include "render/scene.h"
#include "sim/aircraft.h"
#include "sim/camera.h"
#include "sim/simulation.h"

namespace {

uint32_t clockMs = 1000;
// What each drawn frame steps the clock and the frame time by (a recording gives its own).
uint32_t stepMs = 30;
float stepDt = 0.03f;
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

void SendToGame(InputEventType type, int key, int x = 0, int y = 0) {
    InputEvent e{};
    e.type = type;
    e.key = key;
    e.x = x;
    e.y = y;
    HandleInputMessage(e);
}

// The offscreen frame of --depth16 (0: the window's own buffers).
GLuint offscreen = 0;

bool UseDepth16Buffer(int w, int h) {
    GLuint colour = 0, depth = 0;
    glGenFramebuffers(1, &offscreen);
    glBindFramebuffer(GL_FRAMEBUFFER, offscreen);
    glGenRenderbuffers(1, &colour);
    glBindRenderbuffer(GL_RENDERBUFFER, colour);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, w, h);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    glGenRenderbuffers(1, &depth);
    glBindRenderbuffer(GL_RENDERBUFFER, depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, w, h);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) return false;
    glDrawBuffer(GL_COLOR_ATTACHMENT0);
    return true;
}

void ReadFrame(std::vector<unsigned char>& rgb) {
    const int w = App.settings.Width, h = App.settings.Height;
    rgb.resize(static_cast<size_t>(w) * h * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(offscreen != 0 ? GL_COLOR_ATTACHMENT0 : GL_BACK);
    glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
}

bool Save(const char* name) {
    const int w = App.settings.Width, h = App.settings.Height;
    std::vector<unsigned char> rgb;
    ReadFrame(rgb);
    std::string path = outFolder + "/" + name + ".ppm";
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    std::fprintf(f, "P6\n%d %d\n255\n", w, h);
    for (int y = h - 1; y >= 0; --y) std::fwrite(&rgb[static_cast<size_t>(y) * w * 3], 1, static_cast<size_t>(w) * 3, f);
    std::fclose(f);
    std::printf("saved %s\n", path.c_str());
    return true;
}

bool EndsWithRec(const char* path) {
    const size_t n = std::strlen(path);
    return n > 4 && std::strcmp(path + n - 4, ".rec") == 0;
}

// With --hash: FNV-1a of the last drawn frame's pixels.
bool hashFrames = false;
uint64_t frameHash = 0;

uint64_t FrameHash(const std::vector<unsigned char>& rgb) {
    uint64_t h = 1469598103934665603ull;
    for (unsigned char c : rgb) h = (h ^ c) * 1099511628211ull;
    return h;
}

// The frame as a pilot's mind saw it (rows from the top), hashed, against the recorded hash.
void CheckLook(unsigned long long want, int* matched) {
    const int w = App.settings.Width, h = App.settings.Height;
    std::vector<unsigned char> rows;
    ReadFrame(rows);
    std::vector<unsigned char> rgb(rows.size());
    for (int y = 0; y < h; ++y)
        std::memcpy(&rgb[static_cast<size_t>(y) * w * 3], &rows[static_cast<size_t>(h - 1 - y) * w * 3], static_cast<size_t>(w) * 3);
    if (FrameHash(rgb) == want) ++*matched;
}

// One frame of the game loop with a 30 ms step; saved under `name` when one is given.
void DrawOneFrame(const char* name = nullptr, const unsigned long long* look = nullptr, int* matched = nullptr) {
    clockMs += stepMs;
    FrameDt = stepDt;
    double t0 = ProcessCpuSeconds();
    BeginFrameDrawing();
    StepGameFrame();
    ApplyCamera();
    DrawScene();
    glFinish();
    double t1 = ProcessCpuSeconds();
    if (name != nullptr) Save(name);
    if (hashFrames) {
        std::vector<unsigned char> rgb;
        ReadFrame(rgb);
        frameHash = FrameHash(rgb);
    }
    if (look != nullptr) CheckLook(*look, matched);
    double t2 = ProcessCpuSeconds();
    EndFrameDrawing();
    glFinish();
    drawCpuSeconds += (t1 - t0) + (ProcessCpuSeconds() - t2);
    ++drawnFrames;
}

void DrawFrames(int n) {
    for (int i = 0; i < n; ++i) DrawOneFrame();
}

void Tap(int key, const char* name = nullptr) {
    SendToGame(InputEventType::KeyDown, key);
    DrawOneFrame(name);
    SendToGame(InputEventType::KeyUp, key);
}

// With --hash: one line per drawn frame with its hash, and one after each frame that
// changed the set of playing voices.
void PrintFrameHash(int step, unsigned& lastVoices) {
    if (!hashFrames) return;
    std::printf("frame %d %016llx\n", step, static_cast<unsigned long long>(frameHash));
    // The sounds the frame started and stopped, as the set of playing voices.
    unsigned voices = 0;
    for (int id = 0; id < MaxVoices; ++id)
        if (VoiceActive(id)) voices |= 1u << id;
    if (voices != lastVoices) std::printf("voices %d %04x\n", step, voices);
    lastVoices = voices;
}

struct SessionEvent {
    int step, type, key, x, y;
};

// Replays a recorded pilot session, drawing every frame; saves those at the wanted seconds
// of play, and checks the frames the mind saw against their recorded hashes. The settings
// are the pilot's defaults (LoadSettings, lights off) but for the picture's own.
int DrawSession(const char* path, std::vector<float> at, const std::vector<int>& saveSteps) {
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
    unsigned lastVoices = 0;
    float fell = -1.0f;
    std::sort(at.begin(), at.end());
    while (true) {
        while (next < events.size() && events[next].step == step) {
            const SessionEvent& ev = events[next++];
            SendToGame(static_cast<InputEventType>(ev.type), ev.key, ev.x, ev.y);
        }
        if ((next >= events.size() || std::getenv("FRAMESHOT_STOP")) && shot >= at.size()) break;
        char name[32] = {};
        bool save = shot < at.size() && Flow.state == Playing && (playFrames + 1) * 0.03f >= at[shot];
        if (save) std::snprintf(name, sizeof name, "at-%.1f", at[shot++]);
        if (!save && std::find(saveSteps.begin(), saveSteps.end(), step) != saveSteps.end()) {
            std::snprintf(name, sizeof name, "step-%d", step);
            save = true;
        }
        bool looked = look < looks.size() && looks[look].first == step;
        DrawOneFrame(save ? name : nullptr, looked ? &looks[look++].second : nullptr, &matched);
        PrintFrameHash(step, lastVoices);
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

// Draws a game recording (tests/guard/*.rec: "KVRP", version 1, seed, entry count, then
// entries: 1 kind key x y, an input event; 2 clock dt, one frame at that clock with that
// frame time), every frame hashed; the frames of saveSteps saved as step-<n>.ppm.
int DrawRecording(const char* path, const std::vector<int>& saveSteps) {
    FILE* f = std::fopen(path, "rb");
    if (f == nullptr) {
        std::perror(path);
        return 1;
    }
    std::vector<unsigned char> bytes;
    unsigned char chunk[65536];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
    std::fclose(f);
    auto u32 = [&bytes](size_t at) {
        uint32_t v = 0;
        std::memcpy(&v, &bytes[at], 4);
        return v;
    };
    if (bytes.size() < 16 || std::memcmp(bytes.data(), "KVRP", 4) != 0 || u32(4) != 1) {
        std::fprintf(stderr, "%s: not a game recording\n", path);
        return 1;
    }
    SeedRand(u32(8));
    const uint32_t count = u32(12);
    size_t at = 16;
    int step = 0;
    unsigned lastVoices = 0;
    for (uint32_t i = 0; i < count; ++i) {
        if (at < bytes.size() && bytes[at] == 1 && at + 14 <= bytes.size()) {
            SendToGame(static_cast<InputEventType>(bytes[at + 1]), static_cast<int>(u32(at + 2)), static_cast<int>(u32(at + 6)), static_cast<int>(u32(at + 10)));
            at += 14;
        } else if (at < bytes.size() && bytes[at] == 2 && at + 9 <= bytes.size()) {
            float dt = 0.0f;
            std::memcpy(&dt, &bytes[at + 5], 4);
            // The frame runs at the recorded clock with the recorded frame time.
            clockMs = u32(at + 1);
            stepMs = 0;
            stepDt = dt;
            char name[32] = {};
            const bool save = std::find(saveSteps.begin(), saveSteps.end(), step) != saveSteps.end();
            if (save) std::snprintf(name, sizeof name, "step-%d", step);
            DrawOneFrame(save ? name : nullptr);
            PrintFrameHash(step, lastVoices);
            ++step;
            at += 9;
        } else {
            std::fprintf(stderr, "%s: a broken entry at byte %zu\n", path, at);
            return 1;
        }
    }
    std::printf("%d frames drawn\n", step);
    return 0;
}

// A frame whose columns are the aircraft's axes for a nose along fwd (its Z) and a level
// right wing, at p.
Mat4 Placement(Vec3 p, Vec3 fwd) {
    Normalize(fwd);
    Vec3 up{0.0f, 1.0f, 0.0f};
    Vec3 right = Cross(up, fwd);
    Normalize(right);
    up = Cross(fwd, right);
    Mat4 m = Identity4;
    const Vec3 axes[3] = {right, up, fwd};
    for (int i = 0; i < 3; ++i) {
        m.m[4 * i] = axes[i].x;
        m.m[4 * i + 1] = axes[i].y;
        m.m[4 * i + 2] = axes[i].z;
    }
    SetTranslation(m, p);
    return m;
}

// Starts the given mission (0 Zeppelin, 1 Tank, 2 Vornhald) and holds its briefing: the
// camera follows CameraView and nothing moves but what DrawScene animates.
void HoldMission(int mission) {
    MissionIndex = mission - 1;
    StartNextMission();
    Flow.deadline = Flow.briefingClock + 1.0e6f;
}

// The player's aircraft at p, seen in the given view. In the pilot's views the nose points
// 3 degrees below target, so that it shows just above the engine.
void Pose(Vec3 p, Vec3 target, int view) {
    PlayerPlane.position = p;
    Vec3 aim = target - p;
    if (view == vk::Home || view == vk::PageUp) aim.y -= 0.05f * Length(aim);
    PlayerPlane.placement = Placement(p, aim);
    BiplaneModel.model.matrix = PlayerPlane.placement;
    CameraView = static_cast<CameraViewKey>(view);
}

void PosedFrames() {
    const Vec3 base = MatrixTranslation(HangarModel.matrix);
    HoldMission(0);
    // The base from afar, from above and from low over the ground, from two sides.
    const struct {
        float distance, height, side;
    } far[] = {{2000, 150, 0}, {3500, 120, 1}, {5000, 200, 0}, {5000, 60, 1}};
    for (const auto& f : far) {
        Vec3 dir = f.side == 0 ? Vec3{0.6f, 0.0f, 0.8f} : Vec3{-0.8f, 0.0f, 0.6f};
        Vec3 eye = base + dir * f.distance;
        eye.y = base.y + f.height;
        Pose(eye, base, vk::Home);
        char name[48];
        std::snprintf(name, sizeof name, "base-%.0f-%.0f", f.distance, f.height);
        DrawOneFrame(name);
    }
    // In flight over the base, looking back over the tail.
    Pose(base + Vec3{300.0f, 80.0f, 400.0f}, base + Vec3{600.0f, 80.0f, 800.0f}, vk::End);
    DrawOneFrame("rear-flight");
    // High above the field, level and nose down.
    Pose(Vec3{base.x, 15000.0f, base.z}, Vec3{base.x + 1000.0f, 15000.0f, base.z}, vk::Home);
    DrawOneFrame("high-level");
    Pose(Vec3{base.x, 15000.0f, base.z}, Vec3{base.x + 1000.0f, 14000.0f, base.z + 300.0f}, vk::Home);
    DrawOneFrame("high-down");
    // The world's edge: beyond the land looking out, and looking back at it.
    const Vec3 lo = TerrainModel.boundsMin, hi = TerrainModel.boundsMax;
    const float midZ = 0.5f * (lo.z + hi.z);
    Pose(Vec3{hi.x + 300.0f, 1500.0f, midZ}, Vec3{hi.x + 2000.0f, 1400.0f, midZ}, vk::Home);
    DrawOneFrame("edge-out");
    Pose(Vec3{hi.x + 300.0f, 1500.0f, midZ}, Vec3{hi.x - 2000.0f, 1000.0f, midZ + 500.0f}, vk::Home);
    DrawOneFrame("edge-back");
    Pose(Vec3{hi.x - 200.0f, 900.0f, hi.z - 200.0f}, Vec3{hi.x - 200.0f, 800.0f, hi.z + 3000.0f}, vk::End);
    DrawOneFrame("edge-corner-rear");

    // The zeppelin shot down: falling and crumpling while it is drawn.
    const Vec3 zeppelin = MatrixTranslation(ZeppelinModel.matrix);
    ZeppelinModel.visible = 2;
    Pose(zeppelin + Vec3{250.0f, -60.0f, 200.0f}, zeppelin, vk::Home);
    DrawFrames(40);
    DrawOneFrame("zeppelin-falling");
    CameraView = TargetView;  // from under it
    DrawFrames(30);
    DrawOneFrame("zeppelin-falling-target");

    // The Tank mission: its briefing, the tank from the air, then sinking.
    HoldMission(1);
    DrawOneFrame("tank-briefing");
    const Vec3 tank = MatrixTranslation(TankModel.matrix);
    Pose(tank + Vec3{-120.0f, 50.0f, -160.0f}, tank, vk::Home);
    DrawOneFrame("tank");
    TankModel.visible = 2;
    DrawFrames(60);
    DrawOneFrame("tank-sinking");
    CameraView = TargetView;
    DrawFrames(20);
    DrawOneFrame("tank-sinking-target");

    // The Vornhald mission: its briefing, the triplane near, then its smoke trail, grown by
    // the simulation while the player falls beside it.
    HoldMission(2);
    DrawOneFrame("vornhald-briefing");
    const Vec3 enemy = EnemyPlane.position;
    TriplaneModel.matrix = EnemyPlane.placement;  // play keeps it so
    Pose(enemy + Vec3{40.0f, 10.0f, -60.0f}, enemy, vk::Home);
    DrawOneFrame("vornhald");
    CameraView = TargetView;
    DrawOneFrame("vornhald-target");
    Destroy(EnemyPlane);
    Flow.state = Playing;
    DrawFrames(50);
    Flow.state = Briefing;  // held again, the trail as it grew
    Flow.deadline = Flow.briefingClock + 1.0e6f;
    const Vec3 smoke = EnemyPlane.position;
    Pose(smoke + Vec3{-150.0f, 40.0f, -150.0f}, smoke, vk::Home);
    DrawOneFrame("smoke-trail");
    CameraView = DelayedPilotView;
    DrawFrames(3);
    DrawOneFrame("smoke-trail-delayed");
}


// The pixels where two frames differ by at least `contrast` in red, green or blue: how
// many, and the size of the box around them. The bottom sixth is left out: the captions
// come and go there on the clock.
struct Difference {
    int pixels = 0, width = 0, height = 0;
    double contrast = 0.0;  // the mean over those pixels of their largest difference
};

Difference CompareFrames(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b, int contrast) {
    const int w = App.settings.Width, h = App.settings.Height;
    int x0 = w, y0 = h, x1 = -1, y1 = -1;
    Difference d;
    for (int y = h / 6; y < h; ++y)  // rows from the bottom
        for (int x = 0; x < w; ++x) {
            size_t i = (static_cast<size_t>(y) * w + x) * 3;
            int most = 0;
            for (int c = 0; c < 3; ++c) most = std::max(most, std::abs(a[i + c] - b[i + c]));
            if (most < contrast) continue;
            ++d.pixels;
            d.contrast += most;
            x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
        }
    if (d.pixels > 0) d.width = x1 - x0 + 1, d.height = y1 - y0 + 1, d.contrast /= d.pixels;
    return d;
}

// One target's sighting series: the aircraft at each range from it, `rise` the height of
// the eye over the target per unit of range (negative: below it), from four sides.
void SightTarget(const char* name, Vec3 target, unsigned* visible, float rise, const std::vector<float>& ranges) {
    std::vector<unsigned char> with, without;
    for (float range : ranges) {
        int seen = 0, large = 0, largest = 0;
        double contrast = 0.0;
        for (int side = 0; side < 4; ++side) {
            const float angle = 0.6f + 1.5707963f * side;
            const float flat = range / std::sqrt(1.0f + rise * rise);
            Vec3 eye = target + Vec3{std::sin(angle) * flat, rise * flat, std::cos(angle) * flat};
            Pose(eye, target, vk::Home);
            char frame[64];
            std::snprintf(frame, sizeof frame, "sight-%s-%.0f", name, range);
            DrawOneFrame(side == 0 ? frame : nullptr);
            ReadFrame(with);
            const unsigned state = *visible;
            *visible = 0;
            DrawOneFrame();
            ReadFrame(without);
            *visible = state;
            // Its size whatever its colours, and where it stands out.
            Difference size = CompareFrames(with, without, 1), d = CompareFrames(with, without, 32);
            if (size.width >= 2 && size.height >= 2 && size.pixels >= 4) ++large;
            if (d.width >= 2 && d.height >= 2 && d.pixels >= 4) ++seen;
            largest = std::max(largest, d.pixels);
            contrast += size.contrast / 4;
        }
        std::printf("sighting %s range %.0f: 2 x 2 pixels from %d of 4 sides, stands out from %d (at most %d pixels), "
                    "mean contrast %.0f\n",
                    name, range, large, seen, largest, contrast);
    }
}

// The way home from far off and high up, in the pilot's view: toward the base from 8 and
// 12 km, out over the open country away from it, and the crossroads south of the hangar.
void LandmarkFrames() {
    const Vec3 base = MatrixTranslation(HangarModel.matrix);
    const struct {
        const char* name;
        Vec3 eye, target;
    } poses[] = {
        {"land-3000-north", base + Vec3{0, 3000, 8000}, base},
        {"land-6000-west", base + Vec3{-12000, 6000, 0}, base},
        {"land-6000-southwest", base + Vec3{-9000, 6000, -9000}, base},
        {"land-4000-lost", Vec3{-12000, 4000, -14000}, Vec3{-6000, 1000, -10000}},
        {"land-5000-east", Vec3{20000, 5000, 12000}, Vec3{12000, 500, 9000}},
        {"land-800-crossroads", base + Vec3{-1200, 800, -1800}, base + Vec3{0, -630, -670}},
    };
    for (const auto& p : poses) {
        Pose(p.eye, p.target, vk::Home);
        DrawOneFrame(p.name);
    }
}

void SightingFrames() {
    HoldMission(0);
    LandmarkFrames();
    HoldMission(1);
    SightTarget("tank", MatrixTranslation(TankModel.matrix) + Vec3{0.0f, 1.5f, 0.0f}, &TankModel.visible, 0.35f,
                {500, 750, 1000, 1250, 1500, 1750, 2000, 2500, 3000});
    HoldMission(0);
    SightTarget("zeppelin", MatrixTranslation(ZeppelinModel.matrix), &ZeppelinModel.visible, -0.1f,
                {4000, 6000, 8000, 10000, 12000, 14000, 16000, 20000});
    HoldMission(2);
    TriplaneModel.matrix = EnemyPlane.placement;
    SightTarget("triplane-level", EnemyPlane.position, &TriplaneModel.visible, 0.0f,
                {500, 1000, 1500, 2000, 2500, 3000, 4000});
    SightTarget("triplane-above", EnemyPlane.position, &TriplaneModel.visible, 0.3f,
                {500, 1000, 1500, 2000, 2500, 3000, 4000});
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: kelvane-frameshot <output folder> [WIDTHxHEIGHT] [--hiqual] [--lights]\n");
        return 2;
    }
    outFolder = argv[1];
    int width = 640, height = 480;
    bool hiQual = false, lights = false, depth16 = false, sightings = false;
    const char* session = nullptr;
    std::vector<float> at;
    std::vector<int> saveSteps;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--hiqual") == 0) hiQual = true;
        else if (std::strcmp(argv[i], "--session") == 0 && i + 1 < argc) session = argv[++i];
        else if (std::strcmp(argv[i], "--at") == 0 && i + 1 < argc)
            for (char* t = std::strtok(argv[++i], ","); t != nullptr; t = std::strtok(nullptr, ",")) at.push_back(std::strtof(t, nullptr));
        else if (std::strcmp(argv[i], "--save-steps") == 0 && i + 1 < argc)
            for (char* t = std::strtok(argv[++i], ","); t != nullptr; t = std::strtok(nullptr, ",")) saveSteps.push_back(std::atoi(t));
        else if (std::strcmp(argv[i], "--lights") == 0) lights = true;
        else if (std::strcmp(argv[i], "--hash") == 0) hashFrames = true;
        else if (std::strcmp(argv[i], "--depth16") == 0) depth16 = true;
        else if (std::strcmp(argv[i], "--sightings") == 0) sightings = true;
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
    if (depth16 && !UseDepth16Buffer(width, height)) {
        std::fprintf(stderr, "no offscreen buffer with a 16-bit depth buffer\n");
        return 1;
    }
    SetupGLState();
    GLint bits[6] = {};
    const GLenum names[6] = {GL_RED_BITS, GL_GREEN_BITS, GL_BLUE_BITS, GL_ALPHA_BITS, GL_DEPTH_BITS, GL_STENCIL_BITS};
    for (int i = 0; i < 6; ++i) glGetIntegerv(names[i], &bits[i]);
    std::printf("pixel format: RGBA %d%d%d%d, depth %d, stencil %d\n", bits[0], bits[1], bits[2], bits[3], bits[4], bits[5]);
    InitTextureCache(hiQual);
    if (!LoadAssets()) return 1;
    App.running = true;
    App.lastFrameTime = Seconds();
    if (session != nullptr && EndsWithRec(session)) return DrawRecording(session, saveSteps);
    if (session != nullptr) return DrawSession(session, at, saveSteps);
    SeedRand(4242);
    if (sightings) {
        SightingFrames();
        return 0;
    }

    Flow.state = StartMission;
    DrawFrames(20);
    DrawOneFrame("briefing");

    // Off the runway: Space ends the briefing, full throttle, stick back, guns firing.
    Tap(vk::Space);
    Tap(vk::Digit0 + 9);
    SendToGame(InputEventType::MouseMove, 0, width / 2, height - 1);
    DrawFrames(140);
    SendToGame(InputEventType::KeyDown, vk::Space);
    DrawFrames(10);
    DrawOneFrame("home");
    Tap(vk::End, "end");
    Tap(vk::PageUp, "pageup");
    Tap(vk::PageDown, "pagedown");
    SendToGame(InputEventType::KeyUp, vk::Space);
    Tap(vk::PageUp);

    // Nose down into the ground, then the death puff grows for a second.
    SendToGame(InputEventType::MouseMove, 0, width / 2, 0);
    int n = 0;
    while (Flow.state != Dead && n < 4000) {
        DrawOneFrame();
        ++n;
    }
    if (Flow.state != Dead) {
        std::fprintf(stderr, "no crash within %d frames\n", n);
        return 1;
    }
    DrawFrames(30);
    DrawOneFrame("death");
    std::printf("crashed after %d frames\n", n);
    PosedFrames();
    if (FILE* status = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, status) != nullptr)
            if (std::strncmp(line, "VmHWM:", 6) == 0 || std::strncmp(line, "RssFile:", 8) == 0 || std::strncmp(line, "RssAnon:", 8) == 0) std::fputs(line, stdout);
        std::fclose(status);
    }
    std::printf("%d frames drawn, %.2f ms of process CPU per frame\n", drawnFrames, 1000.0 * drawCpuSeconds / drawnFrames);
    return 0;
}
