#include <GL/gl.h>

#include "assets/model.h"

void ReleaseModel(Model& model) {
    delete[] model.vertices;
    delete[] model.faces;
    model.vertices = nullptr;
    model.faces = nullptr;
    model.vertexCount = 0;
    model.faceCount = 0;
    // OpenGL is only called for names that exist, so a model that never reached the
    // drawing code is released without a context.
    bool calledGl = false;
    if (model.displayList != 0) {
        glDeleteLists(model.displayList, 1);
        model.displayList = 0;
        calledGl = true;
    }
    if (model.texture != 0) {
        // The texture cache may delete the same name again; OpenGL ignores that.
        GLuint texture = model.texture;
        glDeleteTextures(1, &texture);
        model.texture = 0;
        calledGl = true;
    }
    if (calledGl) glGetError();
}
