// Temporary join point: the overlay bitmap and its text rendering are not built yet; the
// line's text is kept so the score logic works.
#include <cstdio>

#include "render/overlay.h"

TextOverlay ScoreOverlay;
const OverlayRect ScoreRect = {0, 0, 148, 24};

bool CreateOverlay(TextOverlay&, int, int, int, int, int, int, bool) { return false; }
void ClearOverlay(TextOverlay& overlay) { overlay.text[0] = '\0'; }
int DrawOverlayText(TextOverlay& overlay, const char* text, const OverlayRect&, unsigned) {
    std::snprintf(overlay.text, sizeof overlay.text, "%s", text);
    return 0;
}
void DrawOverlay(const TextOverlay&) {}
void ReleaseOverlay(TextOverlay&) {}
