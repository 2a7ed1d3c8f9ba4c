#include "render/overlay.h"

#include <GL/gl.h>

void DrawOverlay(const TextOverlay& overlay) {
    if (overlay.pixels == nullptr) return;
    glPushAttrib(GL_ENABLE_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    if (overlay.blend) glEnable(GL_BLEND);
    else glDisable(GL_BLEND);

    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor4f(1, 1, 1, 1);
    glRasterPos2f(overlay.rasterX, overlay.rasterY);
    // The bitmap's rows are stored bottom-up, the order glDrawPixels takes them in.
    glDrawPixels(overlay.width, overlay.height, GL_BGRA, GL_UNSIGNED_BYTE, overlay.pixels);

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();
}
