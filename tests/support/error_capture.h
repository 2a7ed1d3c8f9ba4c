// Captures the game's error reports instead of showing boxes, for the lifetime of the
// object.
#pragma once

#include <string>
#include <vector>

struct ErrorReport {
    std::string message;
    std::string detail;
    std::string text;
};

struct ErrorCapture {
    std::vector<ErrorReport> reports;
    ErrorCapture();
    ~ErrorCapture();
    ErrorCapture(const ErrorCapture&) = delete;
    ErrorCapture& operator=(const ErrorCapture&) = delete;
    // True when some report has exactly this message.
    bool Has(const std::string& message) const;
};
