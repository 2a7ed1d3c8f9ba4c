// Soak run: the game plays for a long stretch of game time on scripted random input, and
// reports its memory as it goes. Run by scripts/soak (not part of the test suite).
//
//   kelvane_soak [minutes of game time, default 30] [media folder, default KELVANE_MEDIA_DIR]
//
// The frames run as fast as they can on a test clock of 30 ms per frame; one frame in ten
// is drawn (in a small window). Every game minute it prints the resident and peak memory;
// at the end the growth of the resident memory between minute 5 and the last minute.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/assets.h"
#include "app/input.h"
#include "app/startup.h"
#include "core/controls.h"
#include "core/game_app.h"
#include "sim/game_flow.h"
#include "app/game_window.h"
#include "sim/world.h"
#include "core/services.h"
#include "audio/sound_system.h"
#include "render/frame.h"
#include "hud/text_overlay.h"
#include "sim/score.h"
#include "render/scene.h"
#include "sim/aircraft.h"
#include "speech/speech.h"

namespace {

uint32_t clockMs = 1000000;
uint32_t SoakClock() { return clockMs; }

int reports = 0;
void CountReport(const char*, const char*, const char* text, void*) {
    if (++reports <= 5) std::printf("report: %s\n", text);
}

// The script's own generator, so the game's random sequence is its own business.
uint32_t scriptSeed = 20261208u;
uint32_t Next(uint32_t range) {
    scriptSeed = scriptSeed * 1103515245u + 12345u;
    return (scriptSeed >> 8) % range;
}

// Kilobytes of a /proc/self/status field (VmRSS, VmHWM).
long StatusKb(const char* field) {
    FILE* f = std::fopen("/proc/self/status", "r");
    if (f == nullptr) return -1;
    char line[256];
    long kb = -1;
    const size_t n = std::strlen(field);
    while (std::fgets(line, sizeof line, f) != nullptr)
        if (std::strncmp(line, field, n) == 0 && line[n] == ':') kb = std::atol(line + n + 1);
    std::fclose(f);
    return kb;
}

// A key the player might press: the controls, the throttle presets and the views. Q and
// Escape (which end the game) and P (pause, handled by the live frame clock) are left out.
int RandomKey() {
    static const int keys[] = {vk::Left, vk::Right, vk::Up, vk::Down, vk::Space, vk::A, vk::Z,
                               vk::Home, vk::End, vk::PageUp, vk::PageDown, vk::Digit0,
                               vk::Digit0 + 3, vk::Digit0 + 6, vk::Digit0 + 9};
    return keys[Next(sizeof keys / sizeof keys[0])];
}

void Key(int key, bool down) { HandleInputMessage({down ? InputEventType::KeyDown : InputEventType::KeyUp, key, 0, 0}); }

void ScriptedInput(int frame) {
    // The first four minutes fly hard into the ground, so that every
    // state of the game (and every drawing path) has been through once before minute 5,
    // the baseline of the memory growth.
    if (frame < 4 * 2000) {
        if (frame % 600 == 0) {
            Key(vk::Digit0 + 9, true);
            Key(vk::Space, true);
            Key(vk::Up, true);  // held from the take-off on: a loop that ends in the ground
        }
        return;
    }
    // Then about three key changes a second, a mouse move now and then, and full throttle
    // at the start of each minute so that the biplane does fly.
    if (frame % 2000 == 0) Key(vk::Digit0 + 9, true);
    if (Next(10) == 0) Key(RandomKey(), Next(2) == 0);
    if (Next(20) == 0) {
        HandleInputMessage({InputEventType::MouseMove, 0, static_cast<int>(Next(App.settings.Width)),
                            static_cast<int>(Next(App.settings.Height))});
    }
    if (Next(200) == 0) HandleInputMessage({Next(2) ? InputEventType::ButtonDown : InputEventType::ButtonUp, 0, 0, 0});
}

}  // namespace

int main(int argc, char** argv) {
    const int minutes = argc > 1 ? std::atoi(argv[1]) : 30;
    const char* media = argc > 2 ? argv[2] : std::getenv("KELVANE_MEDIA_DIR");
    if (minutes < 1 || media == nullptr || media[0] == '\0') {
        std::fprintf(stderr, "usage: kelvane_soak [minutes] [media folder]\n");
        return 2;
    }
    SetMediaFolderOverride(media);
    SetErrorReportHook(CountReport, nullptr);
    SetClockSource(SoakClock);
    App.settings.Width = 320;
    App.settings.Height = 240;
    App.settings.Lights = 1;
    App.running = true;
    if (!CreateGLWindow()) {
        std::fprintf(stderr, "no OpenGL window (is DISPLAY set?)\n");
        return 2;
    }
    SetupGLState();
    InitSpeechToSink([](void*, uint32_t, const int16_t*, int) {}, nullptr);
    LoadAssets();

    const int framesPerMinute = 2000;  // 60 s / 0.03 s
    long rssAt5 = -1, peakAt5 = -1;
    int crashes = 0, missions = 0;
    FlowState last = Flow.state;
    for (int frame = 0; frame < minutes * framesPerMinute; ++frame) {
        ScriptedInput(frame);
        clockMs += 30;
        FrameDt = 0.03f;
        StepGameFrame();
        if (frame % 10 == 0) {
            BeginFrameDrawing();
            ApplyCamera();
            DrawScene();
            EndFrameDrawing();
        }
        if (Flow.state != last) {
            if (Flow.state == Dead) ++crashes;
            if (Flow.state == Briefing) ++missions;
            last = Flow.state;
        }
        if ((frame + 1) % framesPerMinute == 0) {
            const int minute = (frame + 1) / framesPerMinute;
            const long rss = StatusKb("VmRSS"), peak = StatusKb("VmHWM");
            std::printf("minute %2d: resident %ld KiB, peak %ld KiB, missions %d, crashes %d, score %d\n", minute,
                        rss, peak, missions, crashes, Score);
            std::fflush(stdout);
            if (minute == 5) {
                rssAt5 = rss;
                peakAt5 = peak;
            }
        }
    }
    const long rssEnd = StatusKb("VmRSS"), peakEnd = StatusKb("VmHWM");
    if (rssAt5 >= 0) {
        std::printf("soak: peak at minute 5 %ld KiB, at minute %d %ld KiB; resident growth %ld KiB\n", peakAt5,
                    minutes, peakEnd, rssEnd - rssAt5);
    }
    std::printf("soak: %d error reports\n", reports);

    // The game's own teardown order, so that whatever is still held when it ends is a leak.
    ShutDown();
    SetClockSource(nullptr);
    SetMediaFolderOverride(nullptr);
    return 0;
}
