#include "app/game_app.h"
#include "app/globals.h"

int main(int, char**) {
    // The game takes no command-line arguments.
    ConstructGlobals();
    int result = GameMain();
    TeardownGlobals();
    return result;
}
