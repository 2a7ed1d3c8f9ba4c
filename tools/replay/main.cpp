// Replays a recorded play session without a window, a sound device or a clock: the models
// come from the media folder beside this program, the input and the frame times from the
// recording, and everything runs through the game's own update path. Prints the session's
// outcome as the game traces it at exit (KELVANE_TRACE=1), so the two can be compared.
//
//   kelvane-replay <recording> [--size WIDTHxHEIGHT] [--hashes]
//
// The window size maps the mouse onto the stick; by default it is the one game.ini holds
// (the game writes it at exit), else 640 x 480. --hashes also prints, after every frame, a
// 64-bit hash of the outcome line at that frame ("frame <n> <hash> ..."): two builds that print
// the same lines kept the same state frame by frame, not only at the end.
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <string>

#include "app/startup.h"
#include "core/game_app.h"
#include "sim/game_flow.h"
#include "sim/world.h"
#include "app/replay.h"
#include "app/settings_file.h"
#include "app/game_trace.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: kelvane-replay <recording> [--size WIDTHxHEIGHT] [--hashes]\n");
    return 2;
}

// FNV-1a over the outcome line.
uint64_t Hash(const std::string& text) {
    uint64_t h = 1469598103934665603ull;
    for (unsigned char c : text) h = (h ^ c) * 1099511628211ull;
    return h;
}

// The hash, then the flow state, the mission and the three targets' states, to read a
// difference by.
long frameCount = 0;
void PrintFrameHash(void*) {
    std::printf("frame %ld %016llx state %d mission %d targets %u %u %u\n", frameCount++,
                static_cast<unsigned long long>(Hash(GameOutcome())), static_cast<int>(Flow.state), MissionIndex,
                ZeppelinModel.visible, TankModel.visible, TriplaneModel.visible);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    LoadSettings();
    bool hashes = false;
    for (int i = 2; i < argc; ++i) {
        int width = 0, height = 0;
        if (std::strcmp(argv[i], "--hashes") == 0) {
            hashes = true;
        } else if (std::strcmp(argv[i], "--size") == 0 && i + 1 < argc &&
                   std::sscanf(argv[i + 1], "%dx%d", &width, &height) == 2 && width > 0 && height > 0 &&
                   width <= MaxWindowSide && height <= MaxWindowSide) {
            App.settings.Width = width;
            App.settings.Height = height;
            ++i;
        } else {
            return Usage();
        }
    }
    Recording recording;
    if (!LoadRecording(argv[1], recording)) return 1;

    // The world as the game's asset loading leaves it, without the parts that need a
    // display or a sound device (display lists, the mixer, speech): the simulation reads
    // only the shapes, bounds and placements.
    LoadWorld(WorldUse::Headless);
    App.running = true;
    ReplayRecording(recording, hashes ? PrintFrameHash : nullptr, nullptr);
    std::printf("final %s\n", GameOutcome().c_str());
    ShutDown();
    return 0;
}
