#include "render/help_card.h"

#include <GL/gl.h>

#include <cstring>
#include <vector>

TextOverlay HelpOverlay;

const HelpRow HelpRows[] = {
    {"CONTROLS", nullptr},
    {"Keyboard and mouse", ""},
    {"Mouse", "steer"},
    {"Left button, Space", "fire; Space ends a briefing"},
    {"Arrow keys", "nudge the stick"},
    {"A / Z", "throttle up / down"},
    {"0 to 9", "throttle setting"},
    {"Home / Page Up", "pilot view / delayed pilot view"},
    {"Page Down / End", "target view / rear view"},
    {"P", "pause"},
    {"F1", "this card"},
    {"Q, Escape", "quit"},
    {"Pad", ""},
    {"Left stick", "steer"},
    {"A, right trigger", "fire"},
    {"D-pad", "nudge the stick"},
    {"Right / left shoulder", "throttle up / down"},
    {"Y / left-stick click", "pilot view / delayed pilot view"},
    {"X / B", "target view / rear view"},
    {"Start", "pause"},
    {"Right-stick click, Guide", "this card"},
    {"Back", "quit"},
    {"F1 closes this card", nullptr},
};
const int HelpRowCount = sizeof HelpRows / sizeof HelpRows[0];

namespace {

struct KeptFrame {
    std::vector<uint8_t> pixels;  // blue, green, red, x; bottom row first, as read back
    int width = 0, height = 0;
};
KeptFrame Kept;

}  // namespace

void CreateHelpCard(int width, int height) {
    if (width <= 0 || height <= 0) return;
    const int line = height / 30 > 16 ? height / 30 : 16;
    const int rowHeight = line + line / 8;
    const int pad = line;
    // Measured with the font the card is drawn in: a first overlay of one line opens it.
    CreateOverlay(HelpOverlay, 0, 0, 1, 1, width, height, false, line);
    int controlWidth = 0, actionWidth = 0, headingWidth = 0;
    for (int i = 0; i < HelpRowCount; ++i) {
        const int w = OverlayTextWidth(HelpOverlay, HelpRows[i].control);
        if (HelpRows[i].action == nullptr || HelpRows[i].action[0] == '\0') {
            if (w > headingWidth) headingWidth = w;
            continue;
        }
        if (w > controlWidth) controlWidth = w;
        const int a = OverlayTextWidth(HelpOverlay, HelpRows[i].action);
        if (a > actionWidth) actionWidth = a;
    }
    const int gap = line;
    int cardWidth = pad + controlWidth + gap + actionWidth + pad;
    if (cardWidth < headingWidth + 2 * pad) cardWidth = headingWidth + 2 * pad;
    int cardHeight = 2 * pad + HelpRowCount * rowHeight;
    // A window too small for the card shows as much of it as fits.
    if (cardWidth > width) cardWidth = width;
    if (cardHeight > height) cardHeight = height;
    const int left = (width - cardWidth) / 2, top = (height - cardHeight) / 2;
    CreateOverlay(HelpOverlay, left, top, left + cardWidth, top + cardHeight, width, height, false, line);
    for (int i = 0; i < HelpRowCount; ++i) {
        const int y = pad + i * rowHeight;
        const HelpRow& row = HelpRows[i];
        if (row.action != nullptr && row.action[0] == '\0') {
            // A heading: from the left edge, the rows under it indented by half a line.
            DrawOverlayText(HelpOverlay, row.control, OverlayRect{pad / 2, y, cardWidth, y + line}, 0);
        } else if (row.action == nullptr) {
            const int w = OverlayTextWidth(HelpOverlay, row.control);
            DrawOverlayText(HelpOverlay, row.control, OverlayRect{(cardWidth - w) / 2, y, cardWidth, y + line}, 0);
        } else {
            DrawOverlayText(HelpOverlay, row.control, OverlayRect{pad, y, pad + controlWidth, y + line}, 0);
            DrawOverlayText(HelpOverlay, row.action,
                            OverlayRect{pad + controlWidth + gap, y, cardWidth, y + line}, 0);
        }
    }
    // A thin white frame sets the card off from the picture behind it.
    for (int y = 0; y < HelpOverlay.height; ++y) {
        for (int x = 0; x < HelpOverlay.width; ++x) {
            if (x > 1 && y > 1 && x < HelpOverlay.width - 2 && y < HelpOverlay.height - 2) continue;
            std::memset(HelpOverlay.pixels + 4 * (static_cast<size_t>(y) * HelpOverlay.width + x), 255, 4);
        }
    }
    std::strcpy(HelpOverlay.text, "CONTROLS");
}

void KeepFrame(int width, int height) {
    if (width <= 0 || height <= 0) return;
    Kept.pixels.resize(static_cast<size_t>(width) * height * 4);
    Kept.width = width;
    Kept.height = height;
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_BYTE, Kept.pixels.data());
}

void DrawKeptFrame() {
    if (Kept.pixels.empty()) return;
    DrawPixelsOverFrame(-1.0f, -1.0f, Kept.width, Kept.height, Kept.pixels.data(), false);
}

void DrawHelpCard() {
    DrawOverlay(HelpOverlay);
}

void ReleaseHelpCard() {
    ReleaseOverlay(HelpOverlay);
    Kept = KeptFrame{};
}
