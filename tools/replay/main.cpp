// Replays a recorded play session without a window, a sound device or a clock: the models
// come from the media folder beside this program, the input and the frame times from the
// recording, and everything runs through the game's own update path. Prints the session's
// outcome as the game traces it at exit (KELVANE_TRACE=1), so the two can be compared.
//
//   kelvane-replay <recording> [--size WIDTHxHEIGHT]
//
// The window size maps the mouse onto the stick; by default it is the one game.ini holds
// (the game writes it at exit), else 640 x 480.
#include <cstdio>
#include <cstring>

#include "app/assets.h"
#include "app/game_app.h"
#include "app/globals.h"
#include "app/input_recording.h"
#include "app/settings.h"
#include "app/trace.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: kelvane-replay <recording> [--size WIDTHxHEIGHT]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 4) return Usage();
    LoadSettings();
    if (argc == 4) {
        int width = 0, height = 0;
        if (std::strcmp(argv[2], "--size") != 0 || std::sscanf(argv[3], "%dx%d", &width, &height) != 2 ||
            width <= 0 || height <= 0 || width > MaxWindowSide || height > MaxWindowSide)
            return Usage();
        App.settings.Width = width;
        App.settings.Height = height;
    }
    Recording recording;
    if (!LoadRecording(argv[1], recording)) return 1;

    // The world as the game's asset loading leaves it, without the parts that need a
    // display or a sound device (display lists, the mixer, speech): the simulation reads
    // only the shapes, bounds and placements.
    LoadWorldModels(false);
    StartWorld();
    App.running = true;
    ReplayRecording(recording);
    std::printf("final %s\n", GameOutcome().c_str());
    TeardownGlobals();
    return 0;
}
