#include "assets/model_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <system_error>

#include "core/file_bytes.h"
#include "core/services.h"

namespace {

// The C locale's blanks, as the formatted-input functions skip them.
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

void SkipBlanks(ModelText& text) {
    while (text.pos < text.size && IsBlank(text.data[text.pos])) ++text.pos;
}

// A value that does not fit a double: zero for a negative exponent, else infinity.
float OutOfRangeValue(const char* first, const char* last) {
    for (const char* p = first; p < last; ++p)
        if ((*p == 'e' || *p == 'E') && p + 1 < last && p[1] == '-') return 0.0f;
    return HUGE_VALF;
}

}  // namespace

ModelText MakeModelText(const char* data, size_t size) {
    ModelText text;
    text.data = data;
    text.size = data != nullptr ? size : 0;
    text.budget = text.size;
    return text;
}

size_t RemainingBytes(const ModelText& text) { return text.size - text.pos; }

bool ReadWord(ModelText& text, char* out, size_t cap) {
    SkipBlanks(text);
    if (text.pos >= text.size) return false;
    size_t n = 0;
    while (text.pos < text.size && !IsBlank(text.data[text.pos])) {
        if (n + 1 < cap) out[n++] = text.data[text.pos];
        ++text.pos;
    }
    if (cap > 0) out[n] = '\0';
    return true;
}

void TakeOptional(ModelText& text, char c) {
    SkipBlanks(text);
    if (text.pos < text.size && text.data[text.pos] == c) ++text.pos;
}

bool ReadWordThen(ModelText& text, char* out, size_t cap, char c) {
    bool read = ReadWord(text, out, cap);
    if (read) TakeOptional(text, c);
    return read;
}

void SkipToClose(ModelText& text) {
    char word[ModelWordSize];
    while (ReadWord(text, word, sizeof word))
        if (Is(word, "}")) return;
}

bool ReadFloat(ModelText& text, float& out) {
    out = 0.0f;
    SkipBlanks(text);
    const char* first = text.data + text.pos;
    const char* last = text.data + text.size;
    const char* p = first;
    bool negative = false;
    if (p < last && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    // A second sign is not a number ("+-1"), as for the C library.
    if (p >= last || *p == '+' || *p == '-') return false;
    float value = 0.0f;
    std::from_chars_result r = std::from_chars(p, last, value);
    if (r.ec == std::errc::invalid_argument) return false;
    if (r.ec == std::errc::result_out_of_range) {
        double wide = 0.0;
        std::from_chars_result w = std::from_chars(p, last, wide);
        value = w.ec == std::errc() ? static_cast<float>(wide) : OutOfRangeValue(p, r.ptr);
    }
    text.pos += static_cast<size_t>(r.ptr - first);
    if (!std::isfinite(value)) text.nonFinite = true;
    out = negative ? -value : value;
    return true;
}

float ReadFloat(ModelText& text) {
    float value;
    ReadFloat(text, value);
    return value;
}

uint32_t ReadUnsigned(ModelText& text) {
    SkipBlanks(text);
    size_t p = text.pos;
    bool negative = false;
    if (p < text.size && (text.data[p] == '+' || text.data[p] == '-')) {
        negative = text.data[p] == '-';
        ++p;
    }
    if (p >= text.size || !IsDigit(text.data[p])) return 0;
    // Like strtoul on a 64-bit unsigned long: saturate, negate, then keep the low 32 bits.
    uint64_t value = 0;
    bool saturated = false;
    while (p < text.size && IsDigit(text.data[p])) {
        uint64_t digit = static_cast<uint64_t>(text.data[p] - '0');
        if (value > (UINT64_MAX - digit) / 10) saturated = true;
        else value = value * 10 + digit;
        ++p;
    }
    text.pos = p;
    if (saturated) return UINT32_MAX;
    if (negative) value = 0 - value;
    return static_cast<uint32_t>(value);
}

bool ClaimRecords(ModelText& text, uint64_t count, size_t minBytes) {
    // The last record of a file may end without a trailing blank.
    uint64_t need = count * minBytes;
    if (count > 0 && need > RemainingBytes(text) + 1) return false;
    if (need > text.budget + 1) return false;
    text.budget = need >= text.budget ? 0 : text.budget - static_cast<size_t>(need);
    return true;
}

bool ReadMediaModelFile(const char* fileName, uint8_t*& data, size_t& size) {
    char path[PathBufferSize];
    MediaPath(path, fileName);
    switch (ReadWholeFile(path, MaxModelFileBytes, data, size)) {
    case FileReadStatus::CannotOpen:
    case FileReadStatus::ReadFailed:
        ShowError("Could not open file:", path);
        return false;
    case FileReadStatus::TooLarge:
        ReportBadModel(fileName, "file larger than 16 MiB");
        return false;
    case FileReadStatus::NoMemory:
        ReportBadModel(fileName, "out of memory for the file");
        return false;
    case FileReadStatus::Read:
        break;
    }
    return true;
}

void ReportBadModel(const char* fileName, const char* problem) {
    std::string detail = std::string(fileName != nullptr ? fileName : "") + ": " + problem;
    ShowError("Bad model:", detail.c_str());
}
