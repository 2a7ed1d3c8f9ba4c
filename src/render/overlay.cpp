#include "render/overlay.h"

#include <GL/gl.h>

void DrawPixelsOverFrame(float rasterX, float rasterY, int width, int height, const uint8_t* pixels, bool blend) {
    glPushAttrib(GL_ENABLE_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    if (blend) glEnable(GL_BLEND);
    else glDisable(GL_BLEND);

    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor4f(1, 1, 1, 1);
    glRasterPos2f(rasterX, rasterY);
    glDrawPixels(width, height, GL_BGRA, GL_UNSIGNED_BYTE, pixels);

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();
}

void DrawOverlay(const TextOverlay& overlay) {
    if (overlay.pixels == nullptr) return;
    // The bitmap's rows are stored bottom-up, the order glDrawPixels takes them in.
    DrawPixelsOverFrame(overlay.rasterX, overlay.rasterY, overlay.width, overlay.height, overlay.pixels, overlay.blend);
}
