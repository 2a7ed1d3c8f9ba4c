#include "sim/captions.h"

#include "core/game_app.h"
#include "speech/speech.h"

CaptionQueue Captions;

namespace {

// The score box: 120 x 24 pixels at the bottom-left whatever the window's size.
constexpr int ScoreBoxHeight = 24;
constexpr int CaptionLines = 3;

// The texts are ASCII in practice; anything else is carried over as UTF-8.
std::string Utf8(const std::wstring& text) {
    std::string out;
    for (wchar_t wc : text) {
        uint32_t c = static_cast<uint32_t>(wc);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x110000) {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

void Show(const std::string& text) {
    if (text == Captions.shown) return;
    Captions.shown = text;
    ClearOverlay(CaptionOverlay);
    if (!text.empty()) DrawOverlayCaption(CaptionOverlay, text.c_str());
}

// Whether the listener has reached mark `mark` of text `textId`, or gone past it.
bool Reached(const SpeechHeard& heard, uint32_t textId, int mark) {
    if (heard.endedTextId >= textId) return true;
    return heard.markTextId > textId || (heard.markTextId == textId && heard.mark >= mark);
}

void PopFront() {
    Captions.queued.pop_front();
    Captions.shownFor = Captions.afterEnd = Captions.unheardFor = 0.0f;
}

}  // namespace

void CreateCaptionOverlay(int width, int height) {
    if (width <= 0 || height <= 0) return;
    const int line = height / 30 > 16 ? height / 30 : 16;
    const int rowHeight = line + line / 4;
    const int bottom = height - ScoreBoxHeight - line / 4;
    int top = bottom - CaptionLines * rowHeight;
    // Rows 100 to 380 of 480 are where the player aims.
    const int aimingBottom = height * 380 / 480;
    if (top < aimingBottom) top = aimingBottom;
    const int margin = width / 40;
    CreateOverlay(CaptionOverlay, margin, top, width - margin, bottom, width, height, true, line);
    Captions.shown.clear();
}

void QueueCaptions(const wchar_t* text, uint32_t textId, float waitSeconds, const char* extraLine) {
    if (App.settings.Captions == 0) return;
    std::vector<std::wstring> stretches = SpokenStretches(text);
    size_t total = 0;
    for (const std::wstring& s : stretches) total += s.size();
    for (size_t k = 0; k < stretches.size(); ++k) {
        Caption c;
        c.text = Utf8(stretches[k]);
        if (k == 0 && extraLine != nullptr) c.text += std::string("\n") + extraLine;
        c.textId = textId;
        c.mark = static_cast<int>(k);
        c.lastOfText = k + 1 == stretches.size();
        // On the clock a longer stretch stays longer: it takes longer to read.
        c.seconds = waitSeconds * static_cast<float>(stretches[k].size()) / static_cast<float>(total);
        Captions.queued.push_back(c);
    }
}

void SpeakWithCaptions(const wchar_t* text, float waitSeconds, const char* extraLine) {
    const uint32_t id = SpeakText(text) == 0 ? LastSpokenTextId() : 0;
    QueueCaptions(text, id, waitSeconds, extraLine);
}

void UpdateCaptions(float dt) {
    if (App.settings.Captions == 0) {
        ClearCaptions();
        return;
    }
    const SpeechHeard heard = SpeechProgress();
    while (!Captions.queued.empty()) {
        Caption& c = Captions.queued.front();
        if (c.textId != 0 && !Reached(heard, c.textId, c.mark)) {
            // Its speech has not begun: nothing is shown meanwhile.
            Captions.unheardFor += dt;
            if (Captions.unheardFor < CaptionSpeechTimeout) {
                Show("");
                return;
            }
            for (Caption& later : Captions.queued)
                if (later.textId == c.textId) later.textId = 0;
            Captions.shownFor = 0.0f;
        }
        if (c.textId == 0) {
            if (Captions.shownFor >= c.seconds) {
                PopFront();
                continue;
            }
            Captions.shownFor += dt;
            Show(c.text);
            return;
        }
        // Following the speech: the next stretch heard takes over; the last one stays a
        // little after its text has ended.
        const bool passed = heard.markTextId > c.textId || (heard.markTextId == c.textId && heard.mark > c.mark);
        const bool ended = heard.endedTextId >= c.textId;
        if (passed || (ended && !c.lastOfText)) {
            PopFront();
            continue;
        }
        if (ended) {
            if (Captions.afterEnd >= CaptionLinger) {
                PopFront();
                continue;
            }
            Captions.afterEnd += dt;
        }
        Show(c.text);
        return;
    }
    Show("");
}

void ClearCaptions() {
    Captions.queued.clear();
    Captions.shownFor = Captions.afterEnd = Captions.unheardFor = 0.0f;
    Show("");
}
