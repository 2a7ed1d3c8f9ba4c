#include <cstring>
#include <new>

#include "core/services.h"
#include "assets/model_sections.h"

namespace {

// Planar texture coordinates for a format without them: u along X, v along the larger
// of the Y and Z extents. False (after reporting) for a model flat along the chosen axis.
bool GenerateTexCoords(Model& model) {
    Vec3 lo = model.boundsMin, hi = model.boundsMax;
    float dX = hi.x - lo.x, dY = hi.y - lo.y, dZ = hi.z - lo.z;
    if (dY > dZ && lo.y == hi.y) {
        ShowError("Bad model:", "1 dimensional");
        return false;
    }
    for (uint32_t i = 0; i < model.vertexCount; ++i) {
        Vertex& v = model.vertices[i];
        v.u = (v.position.x - lo.x) / dX;
        if (dY > dZ) v.v = (v.position.y - lo.y) / dY;
        else if (dZ != 0.0f) v.v = (v.position.z - lo.z) / dZ;  // flat in Y and Z: v stays 0
    }
    return true;
}

}  // namespace

bool ReadVerticesSection(ModelText& text, const char* fileName, Model& model) {
    model.boundsMin = {100000.0f, 100000.0f, 100000.0f};
    model.boundsMax = {-100000.0f, -100000.0f, -100000.0f};

    char format[ModelWordSize] = "";
    ReadWord(text, format, sizeof format);
    bool texCoords;
    if (std::strcmp(format, "POSITION_NORMAL_TEXCOORDS") == 0) {
        model.hasNormals = true;
        texCoords = true;
    } else if (std::strcmp(format, "POSITION_TEXCOORDS") == 0) {
        model.hasNormals = false;
        texCoords = true;
    } else if (std::strcmp(format, "POSITION_NORMAL") == 0) {
        model.hasNormals = true;
        texCoords = false;
    } else {
        ShowError("Bad vertex format:", format);
        return false;
    }

    // A later VERTICES section replaces an earlier one.
    delete[] model.vertices;
    model.vertices = nullptr;
    model.vertexCount = 0;

    uint32_t count = ReadUnsigned(text);
    // Each number of a record takes at least a digit and the blank or sign before it.
    size_t numbers = 3 + (model.hasNormals ? 3 : 0) + (texCoords ? 2 : 0);
    if (!ClaimRecords(text, count, 2 * numbers)) {
        ReportBadModel(fileName, "more vertices than the file holds");
        return false;
    }
    model.vertices = new (std::nothrow) Vertex[count]();
    if (model.vertices == nullptr) {
        ReportBadModel(fileName, "out of memory for the vertices");
        return false;
    }
    model.vertexCount = count;

    for (uint32_t i = 0; i < count; ++i) {
        Vertex& v = model.vertices[i];
        v.position.x = ReadFloat(text);
        v.position.y = ReadFloat(text);
        v.position.z = ReadFloat(text);
        Vec3 p = v.position;
        if (p.x < model.boundsMin.x) model.boundsMin.x = p.x;
        if (p.y < model.boundsMin.y) model.boundsMin.y = p.y;
        if (p.z < model.boundsMin.z) model.boundsMin.z = p.z;
        if (p.x > model.boundsMax.x) model.boundsMax.x = p.x;
        if (p.y > model.boundsMax.y) model.boundsMax.y = p.y;
        if (p.z > model.boundsMax.z) model.boundsMax.z = p.z;
        if (model.hasNormals) {
            v.normal.x = ReadFloat(text);
            v.normal.y = ReadFloat(text);
            v.normal.z = ReadFloat(text);
        }
        if (texCoords) {
            v.u = ReadFloat(text);
            v.v = ReadFloat(text);
        }
    }

    float rMin = Dot(model.boundsMin, model.boundsMin), rMax = Dot(model.boundsMax, model.boundsMax);
    model.radiusSquared = rMin > rMax ? rMin : rMax;

    if (!texCoords && model.boundsMin.x != model.boundsMax.x && !GenerateTexCoords(model))
        return false;

    char closing[ModelWordSize];
    ReadWordThen(text, closing, sizeof closing, '}');
    return true;
}
