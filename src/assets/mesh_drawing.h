// Turning loaded models into OpenGL drawing.
//
// Every draw relies on the fixed state the game window sets: depth test, back faces culled
// (front faces counter-clockwise), blend function source alpha / one minus source alpha with
// blending off, 2-D texturing on, and the vertex, normal and texture-coordinate client arrays
// enabled. A draw may change that state only for its own duration.
#pragma once

#include <cstdint>

#include "assets/model.h"
#include "assets/skinned_model.h"

// Display-list names are taken from blocks of this many, reserved with one glGenLists call
// each; names within a block are consecutive.
constexpr uint32_t DisplayListBlock = 1000;

// Loads the file and compiles it into the next name of the display-list pool. A model that
// fails to load keeps displayList 0 (and visible 0).
void CompileModel(const char* fileName, Model& model);
// Compiles an already loaded model into the next display-list name and stores it in
// displayList. The list holds the material and the triangles, not the texture binding or
// the matrix: the caller binds texture and loads matrix before glCallList.
void CompileModelList(Model& model);
// Draws a model from its drawing arrays with its own matrix as the modelview matrix;
// nothing while visible is 0.
void DrawArrayModel(const ArrayModel& model);
// Draws the skinned player aircraft from its skinned arrays; nothing while it is invisible
// or has no skeleton.
void DrawSkinnedModel(const SkinnedModel& skinned);
