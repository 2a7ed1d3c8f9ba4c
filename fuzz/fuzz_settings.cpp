// game.ini: the settings reader on any bytes, then a rewrite of one key, which must keep
// the file readable.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/profile_file.h"

namespace {
const char* const Keys[] = {"Windowed", "Lights", "Music", "Joystick",
                            "UseHiQualTex", "Width", "Height", "UseScreenRes"};

std::string& ScratchFile() {
    static std::string path;
    if (path.empty()) {
        char pattern[] = "/tmp/kelvane-fuzz-ini-XXXXXX";
        int fd = mkstemp(pattern);
        if (fd >= 0) close(fd);
        path = pattern;
    }
    return path;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = ScratchFile();
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    long long sum = 0;  // values may be anything from INT_MIN to INT_MAX
    for (const char* key : Keys) sum += ProfileReadInt(path.c_str(), "Game", key, 7);
    if (ProfileWriteString(path.c_str(), "Game", "Width", "800")) {
        // Whatever the old file held, the key just written must read back.
        if (ProfileReadInt(path.c_str(), "Game", "Width", 0) != 800) __builtin_trap();
    }
    volatile long long sink = sum;
    (void)sink;
    return 0;
}
