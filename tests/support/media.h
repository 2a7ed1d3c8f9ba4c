// Points the game's media folder at the generated media of the build (KELVANE_MEDIA_DIR,
// else the build's media folder compiled into the test binary). Returns false when there
// is neither.
#pragma once

#include <string>

bool UseGeneratedMedia();
std::string GeneratedMediaDir();

// Skips the running test when the build's generated media cannot be found.
#define NEED_MEDIA()                                                  \
    do {                                                              \
        if (GeneratedMediaDir().empty()) {                            \
            GTEST_SKIP() << "KELVANE_MEDIA_DIR is not set";           \
        }                                                             \
    } while (0)
