#include "hud/text_overlay.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "platform/text_render.h"

TextOverlay ScoreOverlay;
TextOverlay CaptionOverlay;
const OverlayRect ScoreRect = {0, 0, 148, 24};

namespace {
// The tallest line the HUD font may have: the classic system font's 16-pixel cell, which
// leaves the line well inside the 24-pixel strip and room for a score of several digits.
constexpr int HudLineHeight = 16;
// Anything larger is not a HUD line.
constexpr int MaxOverlaySide = 4096;
}  // namespace

bool CreateOverlay(TextOverlay& overlay, int left, int top, int right, int bottom, int screenWidth,
                   int screenHeight, bool blend, int lineHeight) {
    ReleaseOverlay(overlay);
    overlay.blend = blend;
    const int width = right - left, height = bottom - top;
    if (width <= 0 || height <= 0 || width > MaxOverlaySide || height > MaxOverlaySide ||
        screenWidth <= 0 || screenHeight <= 0)
        return false;
    overlay.width = width;
    overlay.height = height;
    overlay.rasterX = 2.0f * static_cast<float>(left) / static_cast<float>(screenWidth) - 1.0f;
    overlay.rasterY = 1.0f - 2.0f * static_cast<float>(bottom) / static_cast<float>(screenHeight);
    overlay.pixelCount = width * height;
    overlay.byteCount = overlay.pixelCount * 4;
    overlay.pixels = new (std::nothrow) uint8_t[overlay.byteCount]();
    overlay.blankCopy = new (std::nothrow) uint8_t[overlay.byteCount];
    if (overlay.pixels != nullptr && overlay.blankCopy != nullptr)
        std::memcpy(overlay.blankCopy, overlay.pixels, static_cast<size_t>(overlay.byteCount));
    overlay.lineHeight = lineHeight > 0 ? lineHeight : HudLineHeight;
    overlay.font = PlatformOpenFont(overlay.lineHeight);
    overlay.text[0] = '\0';
    return overlay.pixels != nullptr;
}

void ClearOverlay(TextOverlay& overlay) {
    if (overlay.pixels != nullptr && overlay.blankCopy != nullptr)
        std::memcpy(overlay.pixels, overlay.blankCopy, static_cast<size_t>(overlay.byteCount));
    overlay.text[0] = '\0';
}

int DrawOverlayText(TextOverlay& overlay, const char* text, const OverlayRect& rect, unsigned) {
    if (text == nullptr) text = "";
    std::snprintf(overlay.text, sizeof overlay.text, "%s", text);
    return PlatformDrawText(overlay.font, text, overlay.pixels, overlay.width, overlay.height,
                            rect.left, rect.top);
}

int OverlayTextWidth(const TextOverlay& overlay, const char* text) {
    return PlatformTextWidth(overlay.font, text);
}

namespace {

// Breaks text into lines of at most maxWidth pixels, at spaces and at each '\n'. A word
// wider than a line gets a line of its own and is cut at the bitmap's edge.
std::vector<std::string> CaptionLines(const TextOverlay& overlay, const char* text, int maxWidth) {
    std::vector<std::string> lines;
    std::string line, word;
    auto placeWord = [&]() {
        if (word.empty()) return;
        std::string longer = line.empty() ? word : line + " " + word;
        if (!line.empty() && OverlayTextWidth(overlay, longer.c_str()) > maxWidth) {
            lines.push_back(line);
            line = word;
        } else {
            line = longer;
        }
        word.clear();
    };
    for (const char* c = text; ; ++c) {
        if (*c == ' ' || *c == '\n' || *c == '\0') {
            placeWord();
            if ((*c == '\n' || *c == '\0') && !line.empty()) {
                lines.push_back(line);
                line.clear();
            }
            if (*c == '\0') break;
        } else {
            word += *c;
        }
    }
    return lines;
}

}  // namespace

int DrawOverlayCaption(TextOverlay& overlay, const char* text) {
    if (overlay.pixels == nullptr || text == nullptr) return 0;
    // The box reaches a quarter of a line beyond the text on each side.
    const int pad = overlay.lineHeight / 4;
    const int rowHeight = overlay.lineHeight + pad;
    std::vector<std::string> lines = CaptionLines(overlay, text, overlay.width - 2 * pad);
    const int fit = overlay.height / rowHeight;
    // A caption too long for the box keeps its beginning.
    if (static_cast<int>(lines.size()) > fit) lines.resize(fit > 0 ? fit : 0);
    const int count = static_cast<int>(lines.size());
    for (int i = 0; i < count; ++i) {
        const int top = overlay.height - (count - i) * rowHeight;
        const int textWidth = OverlayTextWidth(overlay, lines[i].c_str());
        const int left = (overlay.width - textWidth) / 2;
        PlatformDrawText(overlay.font, lines[i].c_str(), overlay.pixels, overlay.width, overlay.height, left,
                         top + pad / 2);
        // The line's box: opaque, the text white on black within it.
        const int x0 = left - pad < 0 ? 0 : left - pad;
        const int x1 = left + textWidth + pad > overlay.width ? overlay.width : left + textWidth + pad;
        for (int row = top; row < top + rowHeight && row < overlay.height; ++row) {
            if (row < 0) continue;
            uint8_t* out = overlay.pixels + 4 * static_cast<size_t>(overlay.width) * (overlay.height - 1 - row);
            for (int x = x0; x < x1; ++x) out[4 * x + 3] = 255;
        }
    }
    std::snprintf(overlay.text, sizeof overlay.text, "%s", count > 0 ? lines[0].c_str() : "");
    return count;
}

void ReleaseOverlay(TextOverlay& overlay) {
    PlatformCloseFont(overlay.font);
    overlay.font = nullptr;
    delete[] overlay.pixels;
    delete[] overlay.blankCopy;
    overlay.pixels = overlay.blankCopy = nullptr;
    overlay.pixelCount = overlay.byteCount = 0;
    overlay.width = overlay.height = 0;
    overlay.text[0] = '\0';
}
