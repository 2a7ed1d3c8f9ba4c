// Small services every loader uses: the error box, media paths and the clock.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr size_t PathBufferSize = 260;

// Shows "<message> <detail> The application will continue." under the caption "ERROR" as
// a modal box and returns when it is closed. Without a display the same text goes to
// stderr. Under KELVANE_TRACE each report is also traced as "kelvane: error <text>". The
// caller goes on without the item that failed.
void ShowError(const char* message, const char* detail);

// Tests (and tools) can take the reports instead of a box: the hook receives the message,
// the detail and the full text. Pass nullptr to restore the box.
using ErrorReportHook = void (*)(const char* message, const char* detail, const char* text, void* user);
void SetErrorReportHook(ErrorReportHook hook, void* user);

// out (PathBufferSize bytes) = <executable's folder>/media/<name>.
void MediaPath(char* out, const char* name);
// The same, with the name taken from the buffer itself.
void MediaPathInPlace(char* buffer);
// Tests and tools can point the media folder elsewhere; nullptr restores the default.
void SetMediaFolderOverride(const char* folder);

// The millisecond clock in seconds (unsigned 32-bit count * 0.001f).
float Seconds();
// The clock's raw millisecond count.
uint32_t Milliseconds();
// Tests replace the clock; nullptr restores the platform clock.
using ClockSource = uint32_t (*)();
void SetClockSource(ClockSource source);
