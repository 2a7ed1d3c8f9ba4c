#include "platform/executable_path.h"

#include <unistd.h>

bool PlatformExecutablePath(char* out, size_t size) {
    if (size == 0) return false;
    ssize_t n = readlink("/proc/self/exe", out, size - 1);
    if (n <= 0) {
        out[0] = '\0';
        return false;
    }
    out[n] = '\0';
    return true;
}
