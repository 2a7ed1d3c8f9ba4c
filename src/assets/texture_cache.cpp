#include "assets/texture_cache.h"

#include <GL/gl.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <new>

#include "core/file_bytes.h"
#include "core/services.h"
#include "assets/texture_pixels.h"
#include "assets/tga_decoder.h"
#include "platform/bmp_decoder.h"
#include "platform/jpeg_decoder.h"

TextureCache Textures;

namespace {

const char* const LoadFailedMessage = "Unable to load the texture file:";

// Image files larger than this are not pictures of ours (a 16384 x 16384 TGA is 1 GiB).
constexpr size_t MaxImageFileBytes = 256u * 1024 * 1024;

bool EndsWith(const char* path, const char* ending) {
    const size_t n = std::strlen(path), e = std::strlen(ending);
    if (n < e) return false;
    for (size_t i = 0; i < e; ++i)
        if (std::toupper(static_cast<unsigned char>(path[n - e + i])) != ending[i]) return false;
    return true;
}

TextureEntry* FindByName(uint32_t glName) {
    for (TextureEntry& entry : Textures.entries)
        if (entry.glName == glName) return &entry;
    return nullptr;
}

// Names whose file failed to load in this run: reported once, never read again. As many as
// the cache has slots; past that a failure is read and reported each time.
char FailedNames[TextureSlots][sizeof Textures.entries[0].fileName];
int FailedCount = 0;

bool FailedBefore(const char* name) {
    for (int i = 0; i < FailedCount; ++i)
        if (std::strcmp(FailedNames[i], name) == 0) return true;
    return false;
}

void RememberFailure(const char* name) {
    if (FailedCount < TextureSlots) std::memcpy(FailedNames[FailedCount++], name, sizeof FailedNames[0]);
}

void EmptySlot(TextureEntry& entry) {
    entry.fileName[0] = '\0';
    entry.glName = 0;
    entry.width = entry.height = 0;
    entry.alphaMode = AlphaNone;
}

}  // namespace

void InitTextureCache(bool highQuality) {
    Textures.highQuality = highQuality;
    Textures.count = 0;
    for (TextureEntry& entry : Textures.entries) EmptySlot(entry);
    FailedCount = 0;
}

uint8_t* LoadImagePixels(const char* fileName, int& height, int& width) {
    height = width = 0;
    if (fileName == nullptr) return nullptr;
    char path[PathBufferSize];
    MediaPath(path, fileName);
    enum { Bmp, Jpeg, Tga } type;
    if (EndsWith(path, "BMP")) type = Bmp;
    else if (EndsWith(path, "JPG")) type = Jpeg;
    else if (EndsWith(path, "TGA")) type = Tga;
    else return nullptr;

    size_t size = 0;
    uint8_t* bytes = nullptr;
    if (ReadWholeFile(path, MaxImageFileBytes, bytes, size) != FileReadStatus::Read || size == 0) {
        delete[] bytes;
        return nullptr;
    }
    uint8_t* pixels = nullptr;
    switch (type) {
    case Bmp: pixels = PlatformDecodeBmp(bytes, size, width, height); break;
    case Jpeg: pixels = PlatformDecodeJpeg(bytes, size, width, height); break;
    case Tga: pixels = DecodeTga(bytes, size, width, height); break;
    }
    delete[] bytes;
    return pixels;
}

uint32_t LoadTexture(const char* fileName, AlphaMode alphaMode, float alphaParam) {
    if (fileName == nullptr) fileName = "";
    // The cache keeps at most 259 characters of a name; compare what it would keep.
    char name[sizeof Textures.entries[0].fileName];
    std::snprintf(name, sizeof name, "%s", fileName);
    for (const TextureEntry& entry : Textures.entries)
        if (entry.glName != 0 && std::strcmp(entry.fileName, name) == 0) return entry.glName;
    if (FailedBefore(name)) return 0;

    // A full cache cannot take another texture: the file goes without, as a missing one.
    if (Textures.count < 0 || Textures.count >= TextureSlots) {
        ShowError(LoadFailedMessage, fileName);
        return 0;
    }
    int width = 0, height = 0;
    uint8_t* pixels = LoadImagePixels(fileName, height, width);
    if (pixels == nullptr) {
        ShowError(LoadFailedMessage, fileName);
        RememberFailure(name);
        return 0;
    }

    TextureEntry& slot = Textures.entries[Textures.count];
    std::memcpy(slot.fileName, name, sizeof name);
    slot.width = width;
    slot.height = height;
    slot.alphaMode = alphaMode;
    GLuint glName = 0;
    glGenTextures(1, &glName);
    slot.glName = glName;
    glBindTexture(GL_TEXTURE_2D, glName);

    ApplyAlphaRule(pixels, width * height, alphaMode, alphaParam);
    GLint internalFormat;
    if (Textures.highQuality) internalFormat = alphaMode == AlphaNone ? GL_RGB : GL_RGBA;
    // Low quality keeps four bits a channel: 3-3-2 (or 2-2-2-2) texels, as software
    // renderers really store them, turn cream pink and green fields mauve.
    else internalFormat = alphaMode == AlphaNone ? GL_RGB4 : GL_RGBA4;
    glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 pixels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    delete[] pixels;
    ++Textures.count;
    return glName;
}

bool BuildMipmaps(uint32_t texture) {
    if (texture == 0 || !Textures.highQuality) return false;
    const TextureEntry* slot = FindByName(texture);
    if (slot == nullptr) return false;
    int w = slot->width, h = slot->height;
    if (w + h < 128) return false;
    const GLint internalFormat = slot->alphaMode == AlphaNone ? GL_RGB : GL_RGBA;

    glBindTexture(GL_TEXTURE_2D, texture);
    // Level 0 must be what the slot says, or the read-back below would not fit the buffer
    // (an upload OpenGL refused leaves it empty).
    GLint levelWidth = 0, levelHeight = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &levelWidth);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &levelHeight);
    if (levelWidth != w || levelHeight != h) return false;

    const size_t sourceBytes = 4 * static_cast<size_t>(w) * static_cast<size_t>(h);
    // The first level below holds (w / 2) x (h / 2) texels, but a side that is already 1
    // stays 1: a 128 x 1 strip still needs 64 texels.
    const size_t targetBytes =
        4 * static_cast<size_t>(w > 1 ? w / 2 : 1) * static_cast<size_t>(h > 1 ? h / 2 : 1);
    uint8_t* source = new (std::nothrow) uint8_t[sourceBytes];
    uint8_t* target = new (std::nothrow) uint8_t[targetBytes];
    if (source == nullptr || target == nullptr) {
        delete[] source;
        delete[] target;
        return false;
    }
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, source);

    int level = 0;
    while (w + h > 2) {
        HalveTexels(source, w, h, target);
        if (w > 1) w /= 2;
        if (h > 1) h /= 2;
        ++level;
        glTexImage2D(GL_TEXTURE_2D, level, internalFormat, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     target);
        uint8_t* swap = source;
        source = target;
        target = swap;
    }
    delete[] source;
    delete[] target;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST_MIPMAP_NEAREST);
    return true;
}

void ReleaseTextures() {
    for (TextureEntry& entry : Textures.entries) {
        if (entry.glName != 0) {
            GLuint name = entry.glName;
            glDeleteTextures(1, &name);
        }
        EmptySlot(entry);
    }
    Textures.count = 0;
    glGetError();
}
