#include "assets/mesh_drawing.h"

#include <GL/gl.h>

static_assert(sizeof(Face) == 3 * sizeof(uint32_t), "faces are handed to OpenGL as packed indices");

namespace {

// The common array draw of an array model and the skinned aircraft. Leaves the fixed state
// as it found it: blending off, the normal and texture-coordinate arrays on.
void DrawMeshArrays(const Model& model, const float* positions, const float* normals,
                    const float* texCoords) {
    if (positions == nullptr || model.faces == nullptr || model.faceCount == 0) return;
    glBindTexture(GL_TEXTURE_2D, model.texture);  // 0 unbinds
    glColor4fv(model.diffuse);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, model.diffuse);
    glMateriali(GL_FRONT, GL_SHININESS, static_cast<GLint>(model.shininess));
    const bool blend = model.alphaMode != AlphaNone;
    if (blend) glEnable(GL_BLEND);

    glVertexPointer(3, GL_FLOAT, 0, positions);
    const bool useNormals = model.hasNormals && normals != nullptr;
    if (useNormals) glNormalPointer(GL_FLOAT, 0, normals);
    else glDisableClientState(GL_NORMAL_ARRAY);
    // An untextured model has no coordinates of its own; leaving the array on would read
    // the pointer of whatever model was drawn before, possibly past its end.
    const bool useTexCoords = model.texture != 0 && texCoords != nullptr;
    if (useTexCoords) glTexCoordPointer(2, GL_FLOAT, 0, texCoords);
    else glDisableClientState(GL_TEXTURE_COORD_ARRAY);

    glLoadMatrixf(model.matrix.m);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(3 * model.faceCount), GL_UNSIGNED_INT,
                   model.faces);

    if (!useNormals) glEnableClientState(GL_NORMAL_ARRAY);
    if (!useTexCoords) glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    if (blend) glDisable(GL_BLEND);
}

}  // namespace

void DrawArrayModel(const ArrayModel& model) {
    if (model.visible == 0) return;
    DrawMeshArrays(model, model.positions, model.normals, model.texCoords);
}

void DrawSkinnedModel(const SkinnedModel& skinned) {
    if (skinned.model.visible == 0 || skinned.bones == nullptr || skinned.boneCount == 0) return;
    DrawMeshArrays(skinned.model, skinned.skinPositions, skinned.skinNormals,
                   skinned.skinTexCoords);
}
