#include <algorithm>
#include <string>

#include "speech/speech.h"

namespace {

// Each tab is a quarter of a second of silence; the texts put two between sentences and
// five between the hints of the consolation.
constexpr int PausePerTabMs = 250;
constexpr int LongestPauseMs = 10000;

}  // namespace

namespace {

bool IsSpace(wchar_t c) { return c == L' ' || c == L'\r' || c == L'\n'; }

}  // namespace

std::wstring SpeechMarkup(const wchar_t* text, bool marks) {
    std::wstring out;
    if (text == nullptr) return out;
    int stretch = 0;
    bool inStretch = false;  // a mark opens the stretch at its first character
    for (const wchar_t* c = text; *c != L'\0'; ++c) {
        if (*c != L'\t' && !inStretch && !IsSpace(*c)) {
            inStretch = true;
            if (marks) out += L"<mark name=\"" + std::to_wstring(stretch++) + L"\"/>";
        }
        switch (*c) {
        case L'\t': {
            // One break for the whole run: the engine does not add up consecutive breaks.
            int tabs = 1;
            while (c[1] == L'\t') {
                ++tabs;
                ++c;
            }
            int ms = std::min(tabs * PausePerTabMs, LongestPauseMs);
            out += L"<break time=\"" + std::to_wstring(ms) + L"ms\"/>";
            inStretch = false;
            break;
        }
        case L'<': out += L"&lt;"; break;
        case L'>': out += L"&gt;"; break;
        case L'&': out += L"&amp;"; break;
        default: out += *c; break;
        }
    }
    return out;
}

std::vector<std::wstring> SpokenStretches(const wchar_t* text) {
    std::vector<std::wstring> stretches;
    if (text == nullptr) return stretches;
    std::wstring current;
    auto finish = [&]() {
        size_t first = 0, last = current.size();
        while (first < last && IsSpace(current[first])) ++first;
        while (last > first && IsSpace(current[last - 1])) --last;
        if (last > first) stretches.push_back(current.substr(first, last - first));
        current.clear();
    };
    for (const wchar_t* c = text; *c != L'\0'; ++c) {
        if (*c == L'\t') finish();
        else current += *c;
    }
    finish();
    return stretches;
}
