#include <algorithm>
#include <string>

#include "speech/speech.h"

namespace {

// Each tab is a quarter of a second of silence; the texts put two between sentences and
// five between the hints of the consolation.
constexpr int PausePerTabMs = 250;
constexpr int LongestPauseMs = 10000;

}  // namespace

std::wstring SpeechMarkup(const wchar_t* text) {
    std::wstring out;
    if (text == nullptr) return out;
    for (const wchar_t* c = text; *c != L'\0'; ++c) {
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
