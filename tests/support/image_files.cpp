#include "support/image_files.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <map>

#include <jpeglib.h>

std::string EncodeJpeg(const std::vector<uint8_t>& samples, int width, int height, int components,
                       const JpegOptions& options) {
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    jpeg_mem_dest(&info, &out, &outSize);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = components;
    info.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, options.quality, TRUE);
    // No chroma subsampling by default, so small colour blocks keep their colours.
    if (!options.subsampled) {
        for (int c = 0; c < info.num_components; ++c)
            info.comp_info[c].h_samp_factor = info.comp_info[c].v_samp_factor = 1;
    }
    if (options.restartInterval > 0) info.restart_interval = static_cast<unsigned>(options.restartInterval);
    if (options.progressive) jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(samples.data() +
                                            static_cast<size_t>(info.next_scanline) * width * components);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    std::string bytes(reinterpret_cast<const char*>(out), outSize);
    jpeg_destroy_compress(&info);
    std::free(out);
    return bytes;
}

std::string EncodeBmp(const std::vector<uint8_t>& rgb, int width, int height, int bitsPerPixel) {
    SDL_Surface* surface = nullptr;
    if (bitsPerPixel == 8) {
        surface = SDL_CreateRGBSurfaceWithFormat(0, width, height, 8, SDL_PIXELFORMAT_INDEX8);
        std::map<uint32_t, int> index;
        std::vector<SDL_Color> colours;
        for (int i = 0; i < width * height; ++i) {
            const uint8_t* p = &rgb[3 * i];
            uint32_t key = p[0] << 16 | p[1] << 8 | p[2];
            if (!index.count(key)) {
                index[key] = static_cast<int>(colours.size());
                colours.push_back({p[0], p[1], p[2], 255});
            }
        }
        SDL_SetPaletteColors(surface->format->palette, colours.data(), 0,
                             static_cast<int>(colours.size()));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const uint8_t* p = &rgb[3 * (y * width + x)];
                static_cast<uint8_t*>(surface->pixels)[y * surface->pitch + x] =
                    static_cast<uint8_t>(index[p[0] << 16 | p[1] << 8 | p[2]]);
            }
    } else {
        surface = SDL_CreateRGBSurfaceWithFormat(
            0, width, height, bitsPerPixel,
            bitsPerPixel == 32 ? SDL_PIXELFORMAT_BGRA32 : SDL_PIXELFORMAT_BGR24);
        const int bytes = bitsPerPixel / 8;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const uint8_t* p = &rgb[3 * (y * width + x)];
                uint8_t* q = static_cast<uint8_t*>(surface->pixels) + y * surface->pitch + x * bytes;
                q[0] = p[2];
                q[1] = p[1];
                q[2] = p[0];
                if (bytes == 4) q[3] = 255;
            }
    }
    std::vector<char> buffer(static_cast<size_t>(width) * height * 4 + 2048);
    SDL_RWops* rw = SDL_RWFromMem(buffer.data(), static_cast<int>(buffer.size()));
    SDL_SaveBMP_RW(surface, rw, 0);
    const Sint64 size = SDL_RWtell(rw);
    SDL_RWclose(rw);
    SDL_FreeSurface(surface);
    return std::string(buffer.data(), size > 0 ? static_cast<size_t>(size) : 0);
}

std::string TgaHeader(int imageType, int width, int height, int depth, int descriptor,
                      int colourMapType, int colourMapLength, int colourEntryBits, int idLength) {
    const uint8_t h[18] = {static_cast<uint8_t>(idLength),
                           static_cast<uint8_t>(colourMapType),
                           static_cast<uint8_t>(imageType),
                           0, 0,
                           static_cast<uint8_t>(colourMapLength & 0xFF),
                           static_cast<uint8_t>(colourMapLength >> 8),
                           static_cast<uint8_t>(colourEntryBits),
                           0, 0, 0, 0,
                           static_cast<uint8_t>(width & 0xFF),
                           static_cast<uint8_t>(width >> 8),
                           static_cast<uint8_t>(height & 0xFF),
                           static_cast<uint8_t>(height >> 8),
                           static_cast<uint8_t>(depth),
                           static_cast<uint8_t>(descriptor)};
    return std::string(reinterpret_cast<const char*>(h), sizeof h);
}
