#include "platform/text_render.h"

#include <SDL.h>
#include <SDL_ttf.h>

struct PlatformFont {
    TTF_Font* font;
};

namespace {
const char* const FontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
}

PlatformFont* PlatformOpenFont(int lineHeight) {
    if (lineHeight <= 0) return nullptr;
    if (TTF_Init() != 0) return nullptr;  // counted: every open is matched by a TTF_Quit
    // Point sizes are pixels at the renderer's default 72 dpi; the line (ascent plus
    // descent) is a little taller than the size, so step down until it fits.
    for (int size = lineHeight; size >= 4; --size) {
        TTF_Font* font = TTF_OpenFont(FontPath, size);
        if (font == nullptr) break;
        if (TTF_FontHeight(font) <= lineHeight) return new PlatformFont{font};
        TTF_CloseFont(font);
    }
    TTF_Quit();
    return nullptr;
}

void PlatformCloseFont(PlatformFont* font) {
    if (font == nullptr) return;
    TTF_CloseFont(font->font);
    delete font;
    TTF_Quit();
}

int PlatformDrawText(PlatformFont* font, const char* text, uint8_t* pixels, int width,
                     int height, int left, int top) {
    if (font == nullptr || text == nullptr || text[0] == '\0' || pixels == nullptr) return 0;
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
