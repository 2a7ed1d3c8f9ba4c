#include "render/frame.h"

#include <GL/gl.h>

#include "core/game_app.h"
#include "platform/window.h"

void BeginFrameDrawing() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // The projection stack is the current matrix mode here (left so by initialisation and
    // by every frame's end): this saves the bare projection that ApplyCamera builds on.
    glPushMatrix();
}

void EndFrameDrawing() {
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    PlatformSwapWindow(App.window);
}
