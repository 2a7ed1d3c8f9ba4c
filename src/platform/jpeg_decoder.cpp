#include "platform/jpeg_decoder.h"

// jpeglib.h needs FILE and size_t declared before it.
#include <cstdio>
#include <csetjmp>
#include <cstring>
#include <new>

#include <jpeglib.h>
#include <jerror.h>

#include "platform/image_limits.h"

namespace {

// The library's stock error handler prints and calls exit(); this one jumps back to the
// decoder, which gives up on the picture instead.
struct JpegErrorTrap {
    jpeg_error_mgr manager;
    jmp_buf escape;
};

[[noreturn]] void JumpOutOnError(j_common_ptr info) {
    JpegErrorTrap* trap = reinterpret_cast<JpegErrorTrap*>(info->err);
    std::longjmp(trap->escape, 1);
}

// Warnings (extraneous bytes, a damaged stretch of data) are not worth a line on stderr:
// the library recovers from them and the picture is still usable. Data that ends (the
// file, or the scan at a marker) before the last row of blocks is not: the library would
// make up the rest, and a few bytes claiming 16384 x 16384 pixels would cost a gigabyte and
// seconds of decoding. That is given up like a fatal error. In the last row of blocks the
// decoder reads ahead past the data even when nothing is missing (a file without its end
// marker), so there it is let be.
void OnMessage(j_common_ptr info, int level) {
    if (level >= 0 || !info->is_decompressor) return;
    const int code = info->err->msg_code;
    if (code != JWRN_JPEG_EOF && code != JWRN_HIT_MARKER) return;
    const j_decompress_ptr d = reinterpret_cast<j_decompress_ptr>(info);
    if (d->input_iMCU_row + 1 < d->total_iMCU_rows) JumpOutOnError(info);
}

void IgnoreMessage(j_common_ptr) {}

// Converts one decoded row of components (3 = RGB, 1 = gray) to blue, green, red, 255.
void ConvertRow(const uint8_t* in, int components, int width, uint8_t* out) {
    for (int x = 0; x < width; ++x, out += 4) {
        if (components == 1) {
            out[0] = out[1] = out[2] = in[x];
        } else {
            const uint8_t* p = in + 3 * x;
            out[0] = p[2];
            out[1] = p[1];
            out[2] = p[0];
        }
        out[3] = 255;
    }
}

}  // namespace

uint8_t* PlatformDecodeJpeg(const uint8_t* data, size_t size, int& width, int& height) {
    width = height = 0;
    if (data == nullptr || size == 0 || size > 0x7FFFFFFF) return nullptr;

    jpeg_decompress_struct info;
    JpegErrorTrap trap;
    info.err = jpeg_std_error(&trap.manager);
    trap.manager.error_exit = JumpOutOnError;
    trap.manager.emit_message = OnMessage;
    trap.manager.output_message = IgnoreMessage;
    // Everything the error path frees lives outside the jump's reach of the optimiser.
    uint8_t* volatile image = nullptr;
    uint8_t* volatile row = nullptr;
    if (setjmp(trap.escape) != 0) {
        jpeg_destroy_decompress(&info);
        delete[] image;
        delete[] row;
        return nullptr;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&info);
        return nullptr;
    }
    // Colour pictures come out as RGB and are reordered row by row; grayscale ones are
    // widened. Other colour spaces (CMYK) fail in jpeg_start_decompress and come back here.
    info.out_color_space = info.jpeg_color_space == JCS_GRAYSCALE ? JCS_GRAYSCALE : JCS_RGB;
    if (info.image_width == 0 || info.image_height == 0 || info.image_width > MaxImageSide ||
        info.image_height > MaxImageSide) {
        jpeg_destroy_decompress(&info);
        return nullptr;
    }
    jpeg_start_decompress(&info);

    const int w = static_cast<int>(info.output_width);
    const int h = static_cast<int>(info.output_height);
    const int components = info.output_components;
    if (components != 1 && components != 3) {
        jpeg_destroy_decompress(&info);
        return nullptr;
    }
    const size_t outRow = static_cast<size_t>(w) * 4;
    // Every row is written below, or the picture is given up.
    image = new (std::nothrow) uint8_t[outRow * static_cast<size_t>(h)];
    row = new (std::nothrow) uint8_t[static_cast<size_t>(w) * components];
    if (image == nullptr || row == nullptr) {
        jpeg_destroy_decompress(&info);
        delete[] image;
        delete[] row;
        return nullptr;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW rows[1] = {row};
        const JDIMENSION line = info.output_scanline;
        // A memory source never suspends, so no row means no progress: stop rather than
        // spin (finishing then fails for the missing rows).
        if (jpeg_read_scanlines(&info, rows, 1) != 1) break;
        ConvertRow(row, components, w, image + outRow * line);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    delete[] row;
    width = w;
    height = h;
    return image;
}
