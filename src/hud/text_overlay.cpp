#include "hud/text_overlay.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "platform/text_render.h"

TextOverlay ScoreOverlay;
const OverlayRect ScoreRect = {0, 0, 148, 24};

namespace {
// The tallest line the HUD font may have: the classic system font's 16-pixel cell, which
// leaves the line well inside the 24-pixel strip and room for a score of several digits.
constexpr int HudLineHeight = 16;
// Anything larger is not a HUD line.
constexpr int MaxOverlaySide = 4096;
}  // namespace

bool CreateOverlay(TextOverlay& overlay, int left, int top, int right, int bottom, int screenWidth,
                   int screenHeight, bool blend) {
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
    overlay.font = PlatformOpenFont(HudLineHeight);
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
