#include "platform/text_render.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/builtin_font.h"

struct PlatformFont {
    TTF_Font* font;    // null: the built-in letters
    int builtinScale;  // pixels per built-in glyph pixel
    int lineHeight;
    std::string file;  // the TrueType file, empty for the built-in letters
};

namespace {

// The HUD's face as fontconfig finds it on this desktop: DejaVu Sans Bold where installed,
// else the desktop's preferred bold sans (its sans-serif aliases), else the closest
// scalable face of any kind. Empty when fontconfig knows no scalable font at all.
std::string FindHudFontFile() {
    // A configuration of our own, read afresh, so that a change of fonts or of
    // FONTCONFIG_FILE between two opens is seen, and nothing of it outlives the lookup.
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (config == nullptr) return "";
    std::string found;
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("DejaVu Sans,sans-serif:bold"));
    if (pattern != nullptr) {
        FcConfigSubstitute(config, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcFontSet* fonts = FcFontSort(config, pattern, FcFalse, nullptr, &result);
        for (int i = 0; fonts != nullptr && i < fonts->nfont && found.empty(); ++i) {
            FcBool scalable = FcFalse;
            FcChar8* file = nullptr;
            if (FcPatternGetBool(fonts->fonts[i], FC_SCALABLE, 0, &scalable) == FcResultMatch && scalable &&
                FcPatternGetString(fonts->fonts[i], FC_FILE, 0, &file) == FcResultMatch && file != nullptr)
                found = reinterpret_cast<const char*>(file);
        }
        if (fonts != nullptr) FcFontSetDestroy(fonts);
        FcPatternDestroy(pattern);
    }
    FcConfigDestroy(config);
    return found;
}

// The TrueType face at the largest size whose line is at most lineHeight pixels tall.
TTF_Font* OpenSizedFont(const std::string& file, int lineHeight) {
    // Point sizes are pixels at the renderer's default 72 dpi; the line (ascent plus
    // descent) is a little taller than the size, so step down until it fits.
    for (int size = lineHeight; size >= 4; --size) {
        TTF_Font* font = TTF_OpenFont(file.c_str(), size);
        if (font == nullptr) return nullptr;
        if (TTF_FontHeight(font) <= lineHeight) return font;
        TTF_CloseFont(font);
    }
    return nullptr;
}

// Said once per run: the HUD is opened again with every change of window, and the
// built-in letters keep it readable, so this is no error box.
void ReportBuiltinLetters(const char* why) {
    static bool reported = false;
    if (reported) return;
    reported = true;
    std::fprintf(stderr, "kelvane: %s; the HUD uses its built-in letters\n", why);
}

}  // namespace

PlatformFont* PlatformOpenFont(int lineHeight) {
    if (lineHeight <= 0) return nullptr;
    const std::string file = FindHudFontFile();
    if (file.empty()) {
        ReportBuiltinLetters("no font found through fontconfig");
    } else if (TTF_Init() != 0) {  // counted: every TrueType font closed is matched by a TTF_Quit
        ReportBuiltinLetters("the TrueType renderer cannot start");
    } else if (TTF_Font* font = OpenSizedFont(file, lineHeight)) {
        return new PlatformFont{font, 0, lineHeight, file};
    } else {
        TTF_Quit();
        ReportBuiltinLetters(("cannot open the font " + file).c_str());
    }
    const int scale = lineHeight / (BuiltinGlyphRows + 1) > 0 ? lineHeight / (BuiltinGlyphRows + 1) : 1;
    if (lineHeight < BuiltinGlyphRows * scale) return nullptr;  // too small for any letter
    return new PlatformFont{nullptr, scale, lineHeight, ""};
}

const char* PlatformFontFile(const PlatformFont* font) {
    return font == nullptr ? "" : font->file.c_str();
}

void PlatformCloseFont(PlatformFont* font) {
    if (font == nullptr) return;
    if (font->font != nullptr) {
        TTF_CloseFont(font->font);
        TTF_Quit();
    }
    delete font;
}

int PlatformDrawText(PlatformFont* font, const char* text, uint8_t* pixels, int width,
                     int height, int left, int top) {
    if (font == nullptr || text == nullptr || text[0] == '\0' || pixels == nullptr) return 0;
    if (font->font == nullptr)
        return DrawBuiltinText(text, font->builtinScale, font->lineHeight, pixels, width, height, left, top);
    const SDL_Color white = {255, 255, 255, 255};
    const SDL_Color black = {0, 0, 0, 255};
    // Shaded: anti-aliased glyphs on an opaque background, as text drawn in opaque mode.
    SDL_Surface* rendered = TTF_RenderUTF8_Shaded(font->font, text, white, black);
    if (rendered == nullptr) return 0;
    SDL_Surface* line = SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_BGRA32, 0);
    SDL_FreeSurface(rendered);
    if (line == nullptr) return 0;

    SDL_LockSurface(line);
    const uint8_t* source = static_cast<const uint8_t*>(line->pixels);
    for (int y = 0; y < line->h; ++y) {
        const int row = top + y;  // counted from the bitmap's top
        if (row < 0 || row >= height) continue;
        uint8_t* out = pixels + 4 * static_cast<size_t>(width) * (height - 1 - row);
        const uint8_t* in = source + static_cast<size_t>(line->pitch) * y;
        for (int x = 0; x < line->w; ++x) {
            const int column = left + x;
            if (column < 0 || column >= width) continue;
            uint8_t* p = out + 4 * column;
            const uint8_t* q = in + 4 * x;
            p[0] = q[0];
            p[1] = q[1];
            p[2] = q[2];
            p[3] = 0;
        }
    }
    SDL_UnlockSurface(line);
    const int drawnHeight = line->h;
    SDL_FreeSurface(line);
    return drawnHeight;
}

int PlatformTextWidth(PlatformFont* font, const char* text) {
    if (font == nullptr || text == nullptr || text[0] == '\0') return 0;
    if (font->font == nullptr)
        return static_cast<int>(std::strlen(text)) * (BuiltinGlyphColumns + 1) * font->builtinScale;
    int w = 0, h = 0;
    if (TTF_SizeUTF8(font->font, text, &w, &h) != 0) return 0;
    return w;
}
