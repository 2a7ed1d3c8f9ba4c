#include "core/trace.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

bool TraceEnabled() {
    static const bool enabled = [] {
        const char* value = std::getenv("KELVANE_TRACE");
        return value != nullptr && value[0] != '\0' && std::strcmp(value, "0") != 0;
    }();
    return enabled;
}

void TraceLine(const char* format, ...) {
    if (!TraceEnabled()) return;
    std::fputs("kelvane: ", stderr);
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}
