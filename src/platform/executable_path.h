// Where the running executable lives.
#pragma once

#include <cstddef>

// Writes the full path of the running executable into out (always zero-terminated).
// Returns false when it cannot be found; out is then empty.
bool PlatformExecutablePath(char* out, size_t size);
