#include "core/services.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "core/trace.h"
#include "platform/clock.h"
#include "platform/executable_path.h"
#include "platform/message_box.h"

namespace {

// Copies text into a buffer of size bytes, cut to fit and always zero-terminated.
void CopyCut(char* out, size_t size, const std::string& text) {
    size_t n = text.size() < size - 1 ? text.size() : size - 1;
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
}

ErrorReportHook errorHook = nullptr;
void* errorHookUser = nullptr;
ClockSource clockSource = nullptr;
char mediaFolderOverride[PathBufferSize] = "";
}  // namespace

void ShowError(const char* message, const char* detail) {
    // The box's text is limited to 512 bytes, as the classic box buffer was.
    char text[512];
    CopyCut(text, sizeof text,
            std::string(message ? message : "") + " " + (detail ? detail : "") +
                " The application will continue.");
    // Scripts that play the game from outside see every report, whatever the display shows.
    if (TraceEnabled()) {
        std::fprintf(stderr, "kelvane: error %s\n", text);
        std::fflush(stderr);
    }
    if (errorHook != nullptr) {
        errorHook(message ? message : "", detail ? detail : "", text, errorHookUser);
        return;
    }
    if (!PlatformMessageBox("ERROR", text)) std::fprintf(stderr, "ERROR: %s\n", text);
}

void SetErrorReportHook(ErrorReportHook hook, void* user) {
    errorHook = hook;
    errorHookUser = user;
}

void MediaPath(char* out, const char* name) {
    char folder[PathBufferSize];
    if (mediaFolderOverride[0] != '\0') {
        CopyCut(out, PathBufferSize, std::string(mediaFolderOverride) + "/" + name);
        return;
    }
    PlatformExecutablePath(folder, sizeof folder);
    folder[PathBufferSize - 1] = '\0';
    // Cut at the last separator; a path without one is used whole as the folder.
    char* slash = std::strrchr(folder, '/');
    if (slash != nullptr) *slash = '\0';
    CopyCut(out, PathBufferSize, std::string(folder) + "/media/" + name);
}

void MediaPathInPlace(char* buffer) {
    std::string name(buffer);
    MediaPath(buffer, name.c_str());
}

void SetMediaFolderOverride(const char* folder) {
    CopyCut(mediaFolderOverride, sizeof mediaFolderOverride, folder ? folder : "");
}

uint32_t Milliseconds() { return clockSource != nullptr ? clockSource() : PlatformTicks(); }

float Seconds() { return static_cast<float>(Milliseconds()) * 0.001f; }

void SetClockSource(ClockSource source) { clockSource = source; }
