// kelvane-pilot: the game flown by a pilot that has only a person's senses. The game runs
// here through its own frame (StepGameFrame: the flow, StepSimulation, the camera) and
// its own drawing into a 640 x 480 window at the default settings (low-quality textures,
// lights off). The pilot's mind, kelvane-mind (tools/pilot/mind/), is a process of its
// own: it gets the drawn frames, what the mixer's output sounds like and the time, and
// answers with its hands (senses.h). The hands are applied here, as a person's are.
//
//   kelvane-pilot --mission N [--seeds K] [--first S] [--record FILE] [--log]
//                 [--save-looks DIR [--save-from T]] [--play-seconds T]
//                 [--min-takeoff A] [--min-seen B] [--min-kill C] [--min-home D]
//
// Each seed is a fresh game in a process of its own. It prints each flight, the
// distributions and, last, the line
//   mission N (<name>): take-off a/K, seen b/K, kill c/K, home d/K
// With a --min-* guard it exits 1 when that count is missed, and ends each flight as soon
// as every guarded outcome is decided. Needs an X display (Xvfb with
// LIBGL_ALWAYS_SOFTWARE=1 will do).
#include <GL/gl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "app/assets.h"
#include "app/game_window.h"
#include "app/input.h"
#include "assets/texture_cache.h"
#include "audio/mixer.h"
#include "audio/sound_system.h"
#include "core/controls.h"
#include "core/game_app.h"
#include "core/services.h"
#include "core/settings.h"
#include "math/random.h"
#include "platform/executable_path.h"
#include "platform/input_event.h"
#include "render/frame.h"
#include "render/scene.h"
#include "senses.h"
#include "sim/aircraft.h"
#include "sim/flight_model.h"
#include "sim/game_flow.h"
#include "sim/world.h"

namespace {

constexpr uint32_t StepMs = 30;          // the game's frame, as the fastest real loop runs it
constexpr int LookEvery = 3;             // a look every third frame: some 11 a second
constexpr uint32_t HandLagMs = 250;      // the hands act this long after the look
constexpr int HandPixelsPerFrame = 20;   // the pointer's fastest move
constexpr int Tremor = 3;                // +- pixels on every position the hand holds
constexpr float KillWithin = 480.0f;     // seconds from the briefing's end
constexpr float HomeWithin = 720.0f;
constexpr float TakeOffWithin = 30.0f;   // 300 above the ground by then
constexpr float SeenBoxPixels = 2.0f;    // a target smaller than 2 x 2 pixels is not there
constexpr float FocalPixels = 579.4f;    // pixels a radian spans at the window's middle

uint32_t clockMs = 0;
uint32_t HarnessClock() { return clockMs; }
void PrintError(const char*, const char*, const char* text, void*) { std::fprintf(stderr, "error: %s\n", text); }

// What one flight came to. Times in seconds of play (from the briefing's end); -1 never.
struct Outcome {
    bool finished = false;
    float airborne = -1, above300 = -1, seen = -1, kill = -1, home = -1;
    bool touchedAgain = false;
    bool crashed = false;
    float crashTime = -1;
    int shotDown = 0;
    // The nearest the aircraft came to the target, and when it first came within its
    // engine's hearing (for the developer's table, never for the mind).
    float nearest = 1e9f, nearestAt = -1, inHearing = -1;
    int seenClaims = 0, seenConfirmed = 0;
    int beliefs = 0;
    float positionErrorMedian = -1, positionErrorMax = -1, homeErrorMedian = -1;
    float playSeconds = 0;
    long peakKb = 0;
    double wallSeconds = 0, mindSeconds = 0;  // the flight's cost, and the mind's share of it
};

bool TakeOff(const Outcome& o) { return o.above300 >= 0 && o.above300 <= TakeOffWithin && !o.touchedAgain; }
bool Kill(const Outcome& o) { return o.kill >= 0 && o.kill <= KillWithin; }
bool Home(const Outcome& o) { return Kill(o) && o.home >= 0 && o.home <= HomeWithin; }

struct Guards {
    int takeoff = -1, seen = -1, kill = -1, home = -1;
    bool any() const { return takeoff >= 0 || seen >= 0 || kill >= 0 || home >= 0; }
};

// ---- the ears --------------------------------------------------------------------------

// The mixer's output on the game's clock: a block mixed whenever the clock has run past
// another block's worth of frames, its last tenth of a second kept for listening.
struct Ears {
    std::vector<int16_t> recent;  // stereo frames, left first, oldest first
    long long mixedFrames = 0;
    static constexpr int Window = MixRate / 10;

    void Catch(double seconds) {
        int16_t block[MixBlockFrames * 2];
        while (mixedFrames + MixBlockFrames <= static_cast<long long>(seconds * MixRate)) {
            MixBlock(block);
            mixedFrames += MixBlockFrames;
            recent.insert(recent.end(), block, block + MixBlockFrames * 2);
            if (recent.size() > static_cast<size_t>(4 * Window)) recent.erase(recent.begin(), recent.end() - 2 * Window);
        }
    }
    // Loudness in dB below full scale rounded to 2 dB, and the loudest semitone.
    void Hear(senses::Look& look) const {
        look.leftDb = look.rightDb = senses::Silent;
        look.pitch = -1;
        int n = static_cast<int>(recent.size() / 2);
        if (n < Window) return;
        const int16_t* s = recent.data() + 2 * (n - Window);
        double sum[2] = {0, 0};
        std::vector<float> mono(Window);
        for (int i = 0; i < Window; ++i) {
            sum[0] += double(s[2 * i]) * s[2 * i];
            sum[1] += double(s[2 * i + 1]) * s[2 * i + 1];
            mono[i] = 0.5f * (s[2 * i] + s[2 * i + 1]);
        }
        auto db = [](double power) -> int16_t {
            if (power <= 0) return senses::Silent;
            double d = 10.0 * std::log10(power / (32768.0 * 32768.0));
            if (d < -90.0) return senses::Silent;
            return static_cast<int16_t>(2 * std::lround(d / 2.0));
        };
        look.leftDb = db(sum[0] / Window);
        look.rightDb = db(sum[1] / Window);
        if (look.leftDb == senses::Silent && look.rightDb == senses::Silent) return;
        // The loudest of the semitones from 41 Hz to 2.6 kHz, through a Hann window.
        double best = 0;
        for (int note = 28; note <= 100; ++note) {
            double f = 440.0 * std::pow(2.0, (note - 69) / 12.0), w = 2.0 * M_PI * f / MixRate;
            double re = 0, im = 0;
            for (int i = 0; i < Window; ++i) {
                double h = 0.5 - 0.5 * std::cos(2.0 * M_PI * i / (Window - 1));
                re += h * mono[i] * std::cos(w * i);
                im += h * mono[i] * std::sin(w * i);
            }
            if (re * re + im * im > best) {
                best = re * re + im * im;
                look.pitch = static_cast<int16_t>(note);
            }
        }
    }
};

// ---- the mind --------------------------------------------------------------------------

struct Mind {
    pid_t pid = -1;
    FILE* to = nullptr;
    FILE* from = nullptr;

    bool Start(const senses::Hello& hello) {
        char exe[4096];
        if (!PlatformExecutablePath(exe, sizeof exe)) return false;
        std::string path = exe;
        path = path.substr(0, path.rfind('/') + 1) + "kelvane-mind";
        int down[2], up[2];
        if (pipe(down) != 0 || pipe(up) != 0) return false;
        pid = fork();
        if (pid < 0) return false;
        if (pid == 0) {
            dup2(down[0], 0);
            dup2(up[1], 1);
            close(down[0]); close(down[1]); close(up[0]); close(up[1]);
            char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
            char* envp[] = {nullptr};  // not even the environment
            execve(path.c_str(), argv, envp);
            std::perror(path.c_str());
            _exit(127);
        }
        close(down[0]);
        close(up[1]);
        to = fdopen(down[1], "wb");
        from = fdopen(up[0], "rb");
        return to != nullptr && from != nullptr && Send(&hello, sizeof hello);
    }
    bool Send(const void* data, size_t size) { return std::fwrite(data, 1, size, to) == size && std::fflush(to) == 0; }
    bool Answer(senses::Hands& hands) {
        return std::fread(&hands, sizeof hands, 1, from) == 1 && hands.magic == senses::HandsMagic;
    }
    void Stop() {
        if (to != nullptr) std::fclose(to);
        if (from != nullptr) std::fclose(from);
        int status = 0;
        if (pid > 0 && waitpid(pid, &status, 0) == pid && !(WIFEXITED(status) && WEXITSTATUS(status) == 0))
            std::fprintf(stderr, "kelvane-pilot: the mind ended %s %d\n", WIFSIGNALED(status) ? "by signal" : "with status",
                         WIFSIGNALED(status) ? WTERMSIG(status) : WEXITSTATUS(status));
    }
};

// ---- the hands -------------------------------------------------------------------------

struct Hand {
    std::mt19937 tremor;
    int x = senses::Width / 2, y = senses::Height / 2;  // where the hand is
    uint32_t held = 0;                                  // keys (and the button) down
    FILE* record = nullptr;
    int step = 0;

    explicit Hand(uint32_t seed) : tremor(seed * 2654435761u + 11u) {}

    void Send(InputEventType type, int key, int px = 0, int py = 0) {
        InputEvent e{type, key, px, py};
        if (record != nullptr) std::fprintf(record, "%d %d %d %d %d\n", step, static_cast<int>(type), key, px, py);
        HandleInputMessage(e);
    }
    static int KeyCode(int bit) {
        const uint32_t k = 1u << bit;
        if (k == senses::KeySpace) return vk::Space;
        if (k >= senses::KeyDigit0 && k < (senses::KeyDigit0 << 10)) return vk::Digit0 + (bit - 1);
        switch (k) {
            case senses::KeyA: return vk::A;
            case senses::KeyZ: return vk::Z;
            case senses::KeyHome: return vk::Home;
            case senses::KeyPageUp: return vk::PageUp;
            case senses::KeyPageDown: return vk::PageDown;
            case senses::KeyEnd: return vk::End;
            case senses::KeyLeft: return vk::Left;
            case senses::KeyRight: return vk::Right;
            case senses::KeyUp: return vk::Up;
            case senses::KeyDown: return vk::Down;
            default: return -1;
        }
    }
    // One frame of the hand following the order it was given a reaction time ago: at most
    // HandPixelsPerFrame toward the wanted pixel, and the keys pressed or let go.
    void Frame(const senses::Hands& order) {
        int dx = std::clamp(order.pointerX, 0, senses::Width - 1) - x;
        int dy = std::clamp(order.pointerY, 0, senses::Height - 1) - y;
        float d = std::sqrt(float(dx * dx + dy * dy));
        if (d > HandPixelsPerFrame) {
            dx = static_cast<int>(std::lround(dx * HandPixelsPerFrame / d));
            dy = static_cast<int>(std::lround(dy * HandPixelsPerFrame / d));
        }
        x = std::clamp(x + dx, 0, senses::Width - 1);
        y = std::clamp(y + dy, 0, senses::Height - 1);
        std::uniform_int_distribution<int> shake(-Tremor, Tremor);
        Send(InputEventType::MouseMove, 0, std::clamp(x + shake(tremor), 0, senses::Width - 1),
             std::clamp(y + shake(tremor), 0, senses::Height - 1));
        uint32_t change = (order.keys ^ held) & ((1u << senses::KeyCount) - 1);
        for (int bit = 0; bit < senses::KeyCount; ++bit) {
            if ((change & (1u << bit)) == 0) continue;
            bool down = (order.keys & (1u << bit)) != 0;
            if ((1u << bit) == senses::MouseButton) {
                Send(down ? InputEventType::ButtonDown : InputEventType::ButtonUp, 0);
            } else if (KeyCode(bit) >= 0) {
                Send(down ? InputEventType::KeyDown : InputEventType::KeyUp, KeyCode(bit));
            }
        }
        held = order.keys & ((1u << senses::KeyCount) - 1);
    }
};

// ---- the truth, for the checks ---------------------------------------------------------

const Model& TargetModel(int mission) {
    return mission == 0 ? static_cast<const Model&>(ZeppelinModel)
                        : mission == 1 ? static_cast<const Model&>(TankModel) : TriplaneModel;
}

// The point a hit on the target is measured from.
Vec3 TargetPoint(int mission) { return mission == 2 ? EnemyPlane.position : MatrixTranslation(TargetModel(mission).matrix); }

// Where a point of the world is drawn in the window, through the look's projection and
// view (clip); false for a point behind the eye.
bool Drawn(const float clip[16], Vec3 w, float& sx, float& sy) {
    float v[4];
    for (int r = 0; r < 4; ++r) v[r] = clip[r] * w.x + clip[4 + r] * w.y + clip[8 + r] * w.z + clip[12 + r];
    if (v[3] <= 0.5f) return false;
    sx = (0.5f + 0.5f * v[0] / v[3]) * senses::Width;
    sy = (0.5f - 0.5f * v[1] / v[3]) * senses::Height;
    return true;
}

// For reading the log: where something moving along `v` heads in the pilot's view, in
// pixels right of and below the window's middle (the aircraft's own +x is its left wing).
void HeadPixels(const Aircraft& a, Vec3 v, float& right, float& down) {
    const Vec3 r = MatrixColumn(a.placement, 0) * -1.0f, u = MatrixColumn(a.placement, 1), f = MatrixColumn(a.placement, 2);
    right = FocalPixels * Dot(v, r) / Dot(v, f);
    down = -FocalPixels * Dot(v, u) / Dot(v, f);
}

// Whether the pixel lies on the target's box as this frame drew it, the box at least
// SeenBoxPixels each way on the screen. clip is the projection times the view.
bool OnTarget(const float clip[16], const Model& target, int px, int py) {
    float lo[2] = {1e9f, 1e9f}, hi[2] = {-1e9f, -1e9f};
    for (int c = 0; c < 8; ++c) {
        Vec3 b = {(c & 1) ? target.boundsMax.x : target.boundsMin.x, (c & 2) ? target.boundsMax.y : target.boundsMin.y,
                  (c & 4) ? target.boundsMax.z : target.boundsMin.z};
        float sx, sy;
        if (!Drawn(clip, TransformPoint(target.matrix, b), sx, sy)) return false;  // a corner behind the eye: not judged as seen
        lo[0] = std::min(lo[0], sx); hi[0] = std::max(hi[0], sx);
        lo[1] = std::min(lo[1], sy); hi[1] = std::max(hi[1], sy);
    }
    if (hi[0] - lo[0] < SeenBoxPixels || hi[1] - lo[1] < SeenBoxPixels) return false;
    float cx = px + 0.5f, cy = py + 0.5f;
    return cx >= lo[0] && cx <= hi[0] && cy >= lo[1] && cy <= hi[1];
}

bool TargetDown(int mission) {
    if (mission == 2) return EnemyPlane.destroyed;
    return TargetModel(mission).visible >= ::TargetDestroyed;
}

// For reading the log: how near each shot of the player's burst came to the point a hit
// is measured from, and on which side it passed (in the aircraft's own right (its -x) and up, at
// the moment of its nearest pass), printed when the burst ends.
struct BurstLog {
    bool firing = false;
    float nearest[MaxShots]{}, right[MaxShots]{}, up[MaxShots]{}, range = 0, from = 0;
    bool aimed = false;
    float headRight = 0, headDown = 0, speed = 0;

    void Step(int mission, float t) {
        const Aircraft& a = PlayerPlane;
        const Vec3 target = TargetPoint(mission);
        if (a.firing && !firing) {
            for (float& n : nearest) n = 1e9f;
            Vec3 d = target - a.position;
            range = std::sqrt(Dot(d, d));
            from = t;
            aimed = false;
        }
        if (a.firing && !aimed && a.shotCount > 0) {
            HeadPixels(a, a.shotVelocity[0], headRight, headDown);
            speed = std::sqrt(Dot(a.velocity, a.velocity)) / (StepMs / 1000.0f);
            aimed = true;
        }
        if (a.firing) {
            const Vec3 r = MatrixColumn(a.placement, 0) * -1.0f, u = MatrixColumn(a.placement, 1);
            for (int i = 0; i < a.shotCount; ++i) {
                Vec3 m = a.shotPositions[i] - target;
                float n = std::sqrt(Dot(m, m));
                if (n < nearest[i]) {
                    nearest[i] = n;
                    right[i] = Dot(m, r);
                    up[i] = Dot(m, u);
                }
            }
        } else if (firing) {
            std::fprintf(stderr, "    burst at %.1f from %.0f, speed %.0f, shots head %+.0f,%+.0f px:", from, range, speed,
                         headRight, headDown);
            for (int i = 0; i < MaxShots; ++i)
                std::fprintf(stderr, " %.0f (%+.0f right %+.0f up)", nearest[i], right[i], up[i]);
            std::fprintf(stderr, "\n");
        }
        firing = a.firing;
    }
};

float Clamp1(float v) { return std::clamp(v, -1.0f, 1.0f); }

uint64_t FrameHash(const uint8_t* p, size_t n) {
    uint64_t h = 1469598103934665603ull;
    for (size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 1099511628211ull;
    return h;
}

float Median(std::vector<float> v) {
    if (v.empty()) return -1;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct FlightOptions {
    int mission = 0;
    uint32_t seed = 1;
    bool log = false;
    const char* record = nullptr;
    const char* saveLooks = nullptr;  // a folder: every 30th look saved as a picture
    float playLimit = -1;             // seconds of play, for trying a change out
    float saveFrom = -1;              // and every look from this second of play on
    Guards guards;
};

// Whether every guarded outcome of the flight is already known.
bool Decided(const Outcome& o, const Guards& g, float t) {
    if (o.kill < 0 && t > KillWithin) return true;  // no kill in time: nothing more to come
    if (!g.any()) return false;
    // A take-off counts once the wheels have stayed off the ground for the first minute.
    bool takeoff = g.takeoff < 0 || o.touchedAgain || (o.above300 < 0 && t > TakeOffWithin) || t > 60.0f;
    bool seen = g.seen < 0 || o.seen >= 0;
    bool kill = g.kill < 0 || o.kill >= 0 || t > KillWithin;
    bool home = g.home < 0 || o.home >= 0 || (o.kill < 0 && t > KillWithin);
    return takeoff && seen && kill && home;
}

Outcome Fly(const FlightOptions& opt) {
    Outcome out;
    static senses::Look look;
    senses::Hello hello;
    hello.mission = opt.mission;
    hello.person = opt.seed;
    hello.log = opt.log ? 1 : 0;
    Mind mind;
    if (!mind.Start(hello)) {
        std::fprintf(stderr, "kelvane-pilot: the mind would not start\n");
        return out;
    }
    setenv("SDL_AUDIODRIVER", "kelvane-none", 1);  // the mixer is heard here, on the game's clock
    SetErrorReportHook(PrintError, nullptr);
    clockMs = 1000000;
    SetClockSource(HarnessClock);
    App.settings = Settings{};
    App.settings.Width = senses::Width;
    App.settings.Height = senses::Height;
    App.settings.Windowed = 1;
    App.settings.Lights = 0;
    App.settings.UseHiQualTex = 0;
    App.settings.Music = 0;
    const float clear[4] = {0.05f, 0.15f, 0.15f, 0.0f};
    for (int i = 0; i < 4; ++i) App.clearColour[i] = clear[i];
    if (!CreateGLWindow()) {
        mind.Stop();
        return out;
    }
    SetupGLState();
    InitTextureCache(false);
    OpenSoundMixer();
    if (!LoadAssets()) {
        mind.Stop();
        return out;
    }
    App.running = true;
    App.lastFrameTime = Seconds();
    const uint32_t random = 20000u + opt.seed * 7919u;
    SeedRand(random);
    ResetGame();
    MissionIndex = opt.mission - 1;  // the first StartNextMission briefs the mission asked for
    FILE* record = nullptr;
    if (opt.record != nullptr) {
        record = std::fopen(opt.record, "w");
        if (record == nullptr) std::perror(opt.record);
        else std::fprintf(record, "kelvane-session 1\nrandom %u\nclock %u\nmission %d\n", random, clockMs, opt.mission);
    }

    BurstLog burstLog;
    Hand hand(opt.seed);
    hand.record = record;
    Ears ears;
    std::vector<std::pair<uint32_t, senses::Hands>> orders;  // (due time, order), oldest first
    senses::Hands current;
    std::vector<float> positionErrors, homeErrors;
    const uint32_t startMs = clockMs;
    int step = 0, playSteps = 0;
    bool wasDown = false, played = false;
    const Vec3 hangar = MatrixTranslation(HangarModel.matrix);
    const float limit = HomeWithin + 30.0f;
    const auto began = std::chrono::steady_clock::now();
    while (true) {
        // The hands carry out what was decided a reaction time ago.
        while (!orders.empty() && orders.front().first <= clockMs) {
            current = orders.front().second;
            orders.erase(orders.begin());
        }
        hand.step = step;
        hand.Frame(current);
        clockMs += StepMs;
        FrameDt = StepMs / 1000.0f;
        const bool looking = step % LookEvery == 0;
        float clip[16] = {};
        if (looking) BeginFrameDrawing();
        StepGameFrame();
        if (looking) {
            ApplyCamera();
            DrawScene();
            glGetFloatv(GL_PROJECTION_MATRIX, clip);
            glFinish();
            static uint8_t rows[senses::FrameBytes];
            glPixelStorei(GL_PACK_ALIGNMENT, 1);
            glReadBuffer(GL_BACK);
            glReadPixels(0, 0, senses::Width, senses::Height, GL_RGB, GL_UNSIGNED_BYTE, rows);
            for (int y = 0; y < senses::Height; ++y)
                std::memcpy(look.rgb + size_t(y) * senses::Width * 3, rows + size_t(senses::Height - 1 - y) * senses::Width * 3,
                            senses::Width * 3);
            EndFrameDrawing();
            const float playNow = playSteps * StepMs / 1000.0f;
            if (opt.saveLooks != nullptr && ((step / LookEvery) % 30 == 0 || (opt.saveFrom >= 0 && playNow >= opt.saveFrom))) {
                std::string path = std::string(opt.saveLooks) + "/look-" + std::to_string(step) + ".ppm";
                if (FILE* f = std::fopen(path.c_str(), "wb")) {
                    std::fprintf(f, "P6\n%d %d\n255\n", senses::Width, senses::Height);
                    std::fwrite(look.rgb, 1, sizeof look.rgb, f);
                    std::fclose(f);
                }
            }
            if (record != nullptr) std::fprintf(record, "look %d %016llx\n", step, (unsigned long long)FrameHash(look.rgb, sizeof look.rgb));
        }
        ++step;
        ears.Catch((clockMs - startMs) / 1000.0);

        if (Flow.state == Playing || Flow.state == Dead) played = true;
        if (played && Flow.state == Playing) ++playSteps;
        const float t = playSteps * StepMs / 1000.0f;
        if (MissionIndex != opt.mission) {  // back in the ring: the next mission is briefed
            if (out.kill >= 0) out.home = t;
            break;
        }
        if (Flow.state == Dead) {
            out.crashed = true;
            out.crashTime = t;
            break;
        }
        if (Flow.state == Playing) {
            const Aircraft& a = PlayerPlane;
            float clearance = -TerrainGap(a, a.position.x, a.position.y, a.position.z);
            if (std::fabs(a.position.x) > 25000.0f || std::fabs(a.position.z) > 25000.0f) clearance = 1e9f;
            if (out.airborne < 0 && clearance > 5.0f) out.airborne = t;
            if (out.above300 < 0 && out.airborne >= 0 && clearance > 300.0f) out.above300 = t;
            if (out.above300 >= 0 && t <= 60.0f && clearance < 1.5f) out.touchedAgain = true;
            if (out.kill < 0 && TargetDown(opt.mission)) out.kill = t;
            if (a.destroyed && !wasDown) ++out.shotDown;
            wasDown = a.destroyed;
            const Vec3 tp = TargetPoint(opt.mission);
            const Vec3 d = tp - a.position;
            const float range = std::sqrt(Dot(d, d));
            if (opt.log && out.nearestAt < 0)
                std::fprintf(stderr, "    the target stands at (%.0f %.0f %.0f)\n", tp.x, tp.y, tp.z);
            if (range < out.nearest) {
                out.nearest = range;
                out.nearestAt = t;
            }
            if (out.inHearing < 0 && range < 7500.0f) out.inHearing = t;
        }
        if (opt.log && Flow.state == Playing) burstLog.Step(opt.mission, t);
        if (t > limit || (opt.playLimit > 0 && t > opt.playLimit) || Decided(out, opt.guards, t)) break;
        if (!looking) continue;

        look.magic = senses::LookMagic;
        look.ended = 0;
        look.timeMs = static_cast<int32_t>(clockMs - startMs);
        ears.Hear(look);
        senses::Hands hands;
        const auto asked = std::chrono::steady_clock::now();
        if (!mind.Send(&look, sizeof look) || !mind.Answer(hands)) {
            std::fprintf(stderr, "kelvane-pilot: the mind stopped answering\n");
            break;
        }
        out.mindSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - asked).count();
        if (opt.log && PlayerPlane.firing && Flow.state == Playing) {
            // For reading the log: the target's middle as drawn, where the newest shot heads
            // (a point far along its path, as drawn) and what the mind says it sees.
            const Aircraft& a = PlayerPlane;
            float tx = -1, ty = -1, hx = -1, hy = -1;
            Drawn(clip, TargetPoint(opt.mission), tx, ty);
            if (a.shotCount > 0) Drawn(clip, a.shotPositions[a.shotCount - 1] + a.shotVelocity[a.shotCount - 1] * 100.0f, hx, hy);
            std::fprintf(stderr, "    firing look: middle drawn at %.0f,%.0f, shots head to %.0f,%.0f, the mind sees %d,%d\n", tx, ty, hx,
                         hy, hands.seen ? hands.seenX : -1, hands.seen ? hands.seenY : -1);
        }
        if (hands.seen != 0 && Flow.state == Playing) {
            ++out.seenClaims;
            if (OnTarget(clip, TargetModel(opt.mission), hands.seenX, hands.seenY)) {
                ++out.seenConfirmed;
                if (out.seen < 0) out.seen = t;
            }
        }
        if (hands.belief != 0 && Flow.state == Playing) {
            const Vec3 p = PlayerPlane.position;
            float e = std::hypot(hands.believedX - p.x, hands.believedZ - p.z);
            float h = std::hypot(hands.homeX - hangar.x, hands.homeZ - hangar.z);
            positionErrors.push_back(e);
            homeErrors.push_back(h);
            if (opt.log) {
                Vec3 f = MatrixColumn(PlayerPlane.placement, 2), r = MatrixColumn(PlayerPlane.placement, 0),
                     u = MatrixColumn(PlayerPlane.placement, 1);
                // The target from the aircraft: how far, and its bearing off the nose (right
                // positive) and its elevation above the level, for reading the mind's log.
                Vec3 d = TargetPoint(opt.mission) - p;
                float heading = std::atan2(-f.x, f.z), bearing = std::atan2(-d.x, d.z) - heading;
                while (bearing > 3.14159f) bearing -= 6.28318f;
                while (bearing < -3.14159f) bearing += 6.28318f;
                // Where a shot fired now would head in the window (pixels from the middle).
                float headRight, headDown;
                HeadPixels(PlayerPlane, PlayerPlane.velocity + f * 10.0f, headRight, headDown);
                std::fprintf(stderr, "    true guns head %+.0f,%+.0f px\n", headRight, headDown);
                std::fprintf(stderr,
                             "    true pitch %.2f roll %.2f heading %.2f height %.0f (%.0f over the ground) speed %.0f; target %.0f away, "
                             "bearing %.2f elevation %.2f\n",
                             std::asin(Clamp1(f.y)), std::atan2(r.y, u.y), heading, p.y - 629.0f,
                             -TerrainGap(PlayerPlane, p.x, p.y, p.z),
                             std::sqrt(Dot(PlayerPlane.velocity, PlayerPlane.velocity)) / (StepMs / 1000.0f),
                             std::sqrt(Dot(d, d)), bearing, std::atan2(d.y, std::hypot(d.x, d.z)));
                std::fprintf(stderr, "    t %6.1f believed (%6.0f %6.0f) true (%6.0f %6.0f) error %5.0f; home believed (%6.0f %6.0f) error %5.0f\n",
                            t, hands.believedX, hands.believedZ, p.x, p.z, e, hands.homeX, hands.homeZ, h);
            }
        }
        orders.emplace_back(clockMs + HandLagMs, hands);
    }
    look.ended = 1;
    mind.Send(&look, sizeof(uint32_t) * 2);
    mind.Stop();
    if (record != nullptr) std::fclose(record);
    out.finished = true;
    out.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    out.playSeconds = playSteps * StepMs / 1000.0f;
    out.beliefs = static_cast<int>(positionErrors.size());
    if (!positionErrors.empty()) {
        out.positionErrorMedian = Median(positionErrors);
        out.positionErrorMax = *std::max_element(positionErrors.begin(), positionErrors.end());
        out.homeErrorMedian = Median(homeErrors);
    }
    return out;
}

void PrintDistribution(const char* what, std::vector<float> v) {
    std::sort(v.begin(), v.end());
    std::printf("  %-14s", what);
    if (v.empty()) {
        std::printf(" none\n");
        return;
    }
    std::printf(" %2zu: min %6.1f  median %6.1f  max %6.1f  [", v.size(), v.front(), Median(v), v.back());
    for (size_t i = 0; i < v.size(); ++i) std::printf("%s%.0f", i ? " " : "", v[i]);
    std::printf("]\n");
}

int Usage() {
    std::fprintf(stderr,
                 "usage: kelvane-pilot --mission N [--seeds K] [--first S] [--record FILE (with --seeds 1)] [--log]\n"
                 "                     [--save-looks DIR [--save-from T]] [--play-seconds T]\n"
                 "                     [--min-takeoff A] [--min-seen B] [--min-kill C] [--min-home D]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    FlightOptions opt;
    opt.mission = -1;
    int seeds = 20;
    uint32_t first = 1;
    for (int i = 1; i < argc; ++i) {
        auto arg = [&](const char* name) { return std::strcmp(argv[i], name) == 0 && i + 1 < argc; };
        if (arg("--mission")) opt.mission = std::atoi(argv[++i]);
        else if (arg("--seeds")) seeds = std::atoi(argv[++i]);
        else if (arg("--first")) first = static_cast<uint32_t>(std::strtoul(argv[++i], nullptr, 10));
        else if (arg("--record")) opt.record = argv[++i];
        else if (arg("--save-looks")) opt.saveLooks = argv[++i];
        else if (arg("--play-seconds")) opt.playLimit = static_cast<float>(std::atof(argv[++i]));
        else if (arg("--save-from")) opt.saveFrom = static_cast<float>(std::atof(argv[++i]));
        else if (arg("--min-takeoff")) opt.guards.takeoff = std::atoi(argv[++i]);
        else if (arg("--min-seen")) opt.guards.seen = std::atoi(argv[++i]);
        else if (arg("--min-kill")) opt.guards.kill = std::atoi(argv[++i]);
        else if (arg("--min-home")) opt.guards.home = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--log") == 0) opt.log = true;
        else return Usage();
    }
    if (opt.mission < 0 || opt.mission >= MissionCount || seeds < 1 || seeds > 1000 || (opt.record && seeds != 1))
        return Usage();
    signal(SIGPIPE, SIG_IGN);  // a mind that dies is reported, not fatal

    std::vector<Outcome> outcomes;
    long peakKb = 0;
    for (int k = 0; k < seeds; ++k) {
        opt.seed = first + static_cast<uint32_t>(k);
        std::fflush(stdout);
        // Each flight in a process of its own, so none inherits another's world.
        int ends[2];
        if (pipe(ends) != 0) return 1;
        pid_t child = fork();
        if (child < 0) return 1;
        if (child == 0) {
            close(ends[0]);
            Outcome o = Fly(opt);
            std::fflush(stdout);
            ssize_t n = write(ends[1], &o, sizeof o);
            _exit(n == static_cast<ssize_t>(sizeof o) ? 0 : 1);
        }
        close(ends[1]);
        Outcome o;
        ssize_t n = read(ends[0], &o, sizeof o);
        close(ends[0]);
        int status = 0;
        rusage usage{};
        wait4(child, &status, 0, &usage);
        if (n != static_cast<ssize_t>(sizeof o) || !o.finished) {
            std::printf("seed %3u: the flight did not finish\n", opt.seed);
            o = Outcome{};
        }
        o.peakKb = usage.ru_maxrss;
        peakKb = std::max(peakKb, o.peakKb);
        std::printf("seed %3u: airborne %5.1f  300 up %5.1f%s  seen %6.1f (%d of %d claims on it)  kill %6.1f  home %6.1f  "
                    "shot down %d%s  nearest %5.0f at %5.1f  within 7,500 %6.1f  play %5.1f s  position error median %5.0f max %5.0f  peak %ld MB  flown in %.0f s (mind %.0f s)\n",
                    opt.seed, o.airborne, o.above300, o.touchedAgain ? " (touched again)" : "", o.seen, o.seenConfirmed,
                    o.seenClaims, o.kill, o.home, o.shotDown, o.crashed ? "  crashed" : "", o.nearest, o.nearestAt, o.inHearing, o.playSeconds,
                    o.positionErrorMedian, o.positionErrorMax, o.peakKb / 1000, o.wallSeconds, o.mindSeconds);
        outcomes.push_back(o);
    }

    int takeoffs = 0, seen = 0, kills = 0, homes = 0, crashes = 0, shotDown = 0;
    std::vector<float> up, seenAt, killAt, homeAt, crashAt, errors, homeErrors;
    for (const Outcome& o : outcomes) {
        if (TakeOff(o)) { ++takeoffs; up.push_back(o.above300); }
        if (o.seen >= 0) { ++seen; seenAt.push_back(o.seen); }
        if (Kill(o)) { ++kills; killAt.push_back(o.kill); }
        if (Home(o)) { ++homes; homeAt.push_back(o.home); }
        if (o.crashed) { ++crashes; crashAt.push_back(o.crashTime); }
        if (o.shotDown > 0) ++shotDown;
        if (o.positionErrorMedian >= 0) errors.push_back(o.positionErrorMedian);
        if (o.homeErrorMedian >= 0) homeErrors.push_back(o.homeErrorMedian);
    }
    std::printf("distributions (seconds of play, or units):\n");
    PrintDistribution("300 up", up);
    PrintDistribution("seen", seenAt);
    PrintDistribution("kill", killAt);
    PrintDistribution("home", homeAt);
    PrintDistribution("crash", crashAt);
    PrintDistribution("position error", errors);
    PrintDistribution("home error", homeErrors);
    std::printf("shot down at least once in %d of %d flights; crashed in %d; peak memory of a flight %ld MB\n", shotDown,
                seeds, crashes, peakKb / 1000);
    bool met = true;
    auto guard = [&](const char* what, int have, int need) {
        if (need < 0) return;
        std::printf("guard %s: %d, at least %d: %s\n", what, have, need, have >= need ? "met" : "MISSED");
        if (have < need) met = false;
    };
    guard("take-off", takeoffs, opt.guards.takeoff);
    guard("seen", seen, opt.guards.seen);
    guard("kill", kills, opt.guards.kill);
    guard("home", homes, opt.guards.home);
    std::printf("mission %d (%s): take-off %d/%d, seen %d/%d, kill %d/%d, home %d/%d\n", opt.mission,
                Missions[opt.mission].name, takeoffs, seeds, seen, seeds, kills, seeds, homes, seeds);
    return met ? 0 : 1;
}
