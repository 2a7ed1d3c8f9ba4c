#include <cstdlib>
#include <cstring>

#include "assets/model_sections.h"

namespace {

void ReadColour(ModelText& text, float* colour) {
    for (int i = 0; i < 4; ++i) colour[i] = ReadFloat(text);
}

void SetAlpha(Model& model, const char* word) {
    static const char* const names[] = {"NONE",       "LUMINANCE",  "ILLUMINANCE", "BLACK_MASK",
                                        "RED",        "GREEN",      "BLUE",        "RED_MASK",
                                        "GREEN_MASK", "BLUE_MASK"};
    for (uint32_t i = 0; i < sizeof names / sizeof names[0]; ++i) {
        if (Is(word, names[i])) {
            model.alphaMode = static_cast<AlphaMode>(i);
            return;
        }
    }
    model.alphaMode = AlphaNumber;
    model.alphaParam = static_cast<float>(std::atof(word));
}

// The words of a TEXTURE block up to its own "}" (which does not end the entry).
void ReadTextureBlock(ModelText& text, Model& model) {
    char word[ModelWordSize];
    while (ReadWord(text, word, sizeof word) && !Is(word, "}")) {
        if (Is(word, "FILE")) {
            ReadWord(text, model.textureFile, sizeof model.textureFile);
            model.hasTexture = true;
        } else if (Is(word, "ALPHA")) {
            char alpha[ModelWordSize];
            if (ReadWord(text, alpha, sizeof alpha)) SetAlpha(model, alpha);
        }
    }
}

void ReadMaterialEntry(ModelText& text, Model& model) {
    // Only the texture is per entry; every other field keeps what an earlier entry wrote.
    model.hasTexture = false;
    model.textureFile[0] = '\0';
    char word[ModelWordSize];
    if (!ReadWord(text, word, sizeof word) || Is(word, "}")) return;  // the entry's "{"
    while (ReadWord(text, word, sizeof word) && !Is(word, "}")) {
        if (Is(word, "NAME")) ReadWord(text, model.name, sizeof model.name);
        else if (Is(word, "AMBIENT")) ReadColour(text, model.ambient);
        else if (Is(word, "DIFFUSE")) ReadColour(text, model.diffuse);
        else if (Is(word, "SPECULAR")) ReadColour(text, model.specular);
        else if (Is(word, "EMISSION")) ReadColour(text, model.emission);
        else if (Is(word, "SHININESS")) model.shininess = ReadUnsigned(text);
        else if (Is(word, "TEXTURE")) ReadTextureBlock(text, model);
    }
}

}  // namespace

bool ReadMaterialsSection(ModelText& text, const char* fileName, Model& model) {
    uint32_t count = ReadUnsigned(text);
    // An entry is at least one word and the blank after it.
    if (!ClaimRecords(text, count, 2)) {
        ReportBadModel(fileName, "more materials than the file holds");
        return false;
    }
    for (uint32_t i = 0; i < count; ++i) ReadMaterialEntry(text, model);
    // The section's own "}" is left to the section loop, which skips it.
    return true;
}
