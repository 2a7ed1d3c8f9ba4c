// Points the game's media folder at the generated media of the build (KELVANE_MEDIA_DIR,
// set by CTest). Returns false when the variable is not set.
#pragma once

#include <string>

bool UseGeneratedMedia();
std::string GeneratedMediaDir();
