#include "app/game_main.h"
#include "app/startup.h"

int main(int, char**) {
    // The game takes no command-line arguments.
    const bool started = StartUp();
    if (started) RunFrameLoop();
    ShutDown();
    return started ? 0 : -1;
}
