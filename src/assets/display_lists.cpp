#include <GL/gl.h>

#include "assets/mesh_drawing.h"

namespace {

// The current block of display-list names and how many of it are taken. The game compiles
// a handful of models; a further block is reserved only if one is ever used up.
GLuint blockStart = 0;
uint32_t blockUsed = DisplayListBlock;

GLuint NextDisplayList() {
    if (blockUsed >= DisplayListBlock) {
        const GLuint start = glGenLists(DisplayListBlock);
        if (start == 0) return 0;
        blockStart = start;
        blockUsed = 0;
    }
    return blockStart + blockUsed++;
}

void EmitVertex(const Model& model, uint32_t index) {
    const Vertex& v = model.vertices[index];
    if (model.texture != 0) glTexCoord2f(v.u, v.v);
    if (model.hasNormals) glNormal3f(v.normal.x, v.normal.y, v.normal.z);
    glVertex3f(v.position.x, v.position.y, v.position.z);
}

}  // namespace

void CompileModelList(Model& model) {
    const GLuint list = NextDisplayList();
    if (list == 0) return;
    model.displayList = list;
    glNewList(list, GL_COMPILE);
    // Only the diffuse colour and the shininess make up the look; the colour also serves
    // when lighting is off.
    glColor4fv(model.diffuse);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, model.diffuse);
    glMateriali(GL_FRONT, GL_SHININESS, static_cast<GLint>(model.shininess));
    if (model.alphaMode != AlphaNone) glEnable(GL_BLEND);
    glBegin(GL_TRIANGLES);
    if (model.faces != nullptr && model.vertices != nullptr) {
        for (uint32_t i = 0; i < model.faceCount; ++i) {
            const Face& f = model.faces[i];
            // The loader bounds every index; a triangle that escaped it is left out whole.
            if (f.a >= model.vertexCount || f.b >= model.vertexCount || f.c >= model.vertexCount)
                continue;
            EmitVertex(model, f.a);
            EmitVertex(model, f.b);
            EmitVertex(model, f.c);
        }
    }
    glEnd();
    if (model.alphaMode != AlphaNone) glDisable(GL_BLEND);
    glEndList();
}
