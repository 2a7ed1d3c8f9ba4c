// A hidden window with an OpenGL compatibility context, current for the lifetime of the
// object, for tests that draw. Needs an X display (Xvfb in the test command).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct GlContext {
    void* window = nullptr;
    void* context = nullptr;
    int width = 0, height = 0;
    std::string error;  // why the context could not be made; empty on success

    GlContext(int width, int height);
    ~GlContext();
    GlContext(const GlContext&) = delete;
    GlContext& operator=(const GlContext&) = delete;
    bool Ok() const { return context != nullptr; }
};

// The fixed drawing state the game window sets up: depth test, back faces culled with
// counter-clockwise front faces, the blend function (blending off), 2-D texturing, the
// vertex, normal and texture-coordinate arrays, the viewport, identity matrices with the
// model-view matrix selected.
void SetGameDrawingState(int width, int height);

// Reads the back buffer as red, green, blue, alpha, bottom row first.
std::vector<uint8_t> ReadFrame(int width, int height);
