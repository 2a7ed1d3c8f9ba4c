#include "support/error_capture.h"

#include "core/services.h"

namespace {
void Capture(const char* message, const char* detail, const char* text, void* user) {
    static_cast<ErrorCapture*>(user)->reports.push_back({message, detail, text});
}
}  // namespace

ErrorCapture::ErrorCapture() { SetErrorReportHook(Capture, this); }
ErrorCapture::~ErrorCapture() { SetErrorReportHook(nullptr, nullptr); }

bool ErrorCapture::Has(const std::string& message) const {
    for (const ErrorReport& r : reports)
        if (r.message == message) return true;
    return false;
}
