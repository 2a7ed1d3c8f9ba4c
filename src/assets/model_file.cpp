#include <cstring>
#include <new>

#include "core/services.h"
#include "assets/model_sections.h"
#include "assets/texture_cache.h"

namespace {

bool FaceIndicesInRange(const Model& model) {
    for (uint32_t i = 0; i < model.faceCount; ++i) {
        const Face& f = model.faces[i];
        if (f.a >= model.vertexCount || f.b >= model.vertexCount || f.c >= model.vertexCount)
            return false;
    }
    return true;
}

}  // namespace

bool ReadFacesSection(ModelText& text, const char* fileName, Model& model) {
    // A later FACES section replaces an earlier one.
    delete[] model.faces;
    model.faces = nullptr;
    model.faceCount = 0;

    uint32_t count = ReadUnsigned(text);
    // Four numbers, each at least a digit and the blank before it.
    if (!ClaimRecords(text, count, 8)) {
        ReportBadModel(fileName, "more faces than the file holds");
        return false;
    }
    model.faces = new (std::nothrow) Face[count]();
    if (model.faces == nullptr) {
        ReportBadModel(fileName, "out of memory for the faces");
        return false;
    }
    model.faceCount = count;
    for (uint32_t i = 0; i < count; ++i) {
        Face& f = model.faces[i];
        f.a = ReadUnsigned(text);
        f.b = ReadUnsigned(text);
        f.c = ReadUnsigned(text);
        ReadUnsigned(text);  // a fourth number that the game does not use
    }
    char closing[ModelWordSize];
    ReadWordThen(text, closing, sizeof closing, '}');
    return true;
}

bool LoadModelFromMemory(const char* fileName, const char* data, size_t size, Model& model) {
    model.visible = 0;
    ModelText text = MakeModelText(data, size);
    char word[ModelWordSize] = "";
    if (!ReadWord(text, word, sizeof word) || !Is(word, "A3F")) {
        ShowError("Not an .a3f file:", fileName);
        return false;
    }

    bool sawVertices = false, sawFaces = false;
    while (ReadWordThen(text, word, sizeof word, '{')) {
        if (Is(word, "VERSION")) {
            // "%f }": the closer is only taken after a number.
            float version;
            if (ReadFloat(text, version)) TakeOptional(text, '}');
        } else if (Is(word, "COMMENT")) {
            SkipToClose(text);
        } else if (Is(word, "VERTICES")) {
            sawVertices = true;
            if (!ReadVerticesSection(text, fileName, model)) return false;
        } else if (Is(word, "FACES")) {
            sawFaces = true;
            if (!ReadFacesSection(text, fileName, model)) return false;
        } else if (Is(word, "MATERIALS")) {
            if (!ReadMaterialsSection(text, fileName, model)) return false;
        }
        // Any other word, such as the closing "}" of MATERIALS, is skipped by itself.
    }

    if (!sawVertices || model.vertices == nullptr) {
        ShowError("Failed to find section VERTICES:", fileName);
        return false;
    }
    if (!sawFaces || model.faces == nullptr) {
        ShowError("Failed to find section FACES:", fileName);
        return false;
    }
    // Faces may come before the vertices, so their indices are checked at the end.
    if (!FaceIndicesInRange(model)) {
        delete[] model.faces;
        model.faces = nullptr;
        model.faceCount = 0;
        ReportBadModel(fileName, "face index beyond the vertices");
        return false;
    }
    if (text.nonFinite) {
        ReportBadModel(fileName, "number that is not finite");
        return false;
    }

    model.matrix = Identity4;
    model.velocity = {0.0f, 0.0f, 0.0f};
    model.visible = 1;
    return true;
}

void LoadModelTexture(Model& model) {
    // The test is on the file name: a later material without TEXTURE empties it.
    model.texture = model.textureFile[0] != '\0'
                        ? LoadTexture(model.textureFile, model.alphaMode, model.alphaParam)
                        : 0;
}

bool LoadModelFile(const char* fileName, Model& model) {
    uint8_t* data = nullptr;
    size_t size = 0;
    if (!ReadMediaModelFile(fileName, data, size)) {
        model.visible = 0;
        return false;
    }
    bool loaded = LoadModelFromMemory(fileName, reinterpret_cast<const char*>(data), size, model);
    delete[] data;
    if (loaded) LoadModelTexture(model);
    return loaded;
}
