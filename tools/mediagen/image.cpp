#include "image.h"

// jpeglib.h needs FILE declared first.
#include <cstdio>

#include <jpeglib.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>

#include "math/random.h"

Image MakeImage(int width, int height, Rgba fill) {
    Image image;
    image.width = width;
    image.height = height;
    image.pixels.assign(static_cast<size_t>(width) * height, fill);
    return image;
}

uint8_t ClampByte(float value) {
    if (value <= 0.0f) return 0;
    if (value >= 255.0f) return 255;
    return static_cast<uint8_t>(value + 0.5f);
}

Rgba Mix(Rgba a, Rgba b, float t) {
    return {ClampByte(a.r + (b.r - a.r) * t), ClampByte(a.g + (b.g - a.g) * t),
            ClampByte(a.b + (b.b - a.b) * t), ClampByte(a.a + (b.a - a.a) * t)};
}

Rgba Shade(Rgba c, float factor) {
    return {ClampByte(c.r * factor), ClampByte(c.g * factor), ClampByte(c.b * factor), c.a};
}

void BlendPixel(Image& image, int x, int y, Rgba colour, float coverage) {
    if (x < 0 || y < 0 || x >= image.width || y >= image.height || coverage <= 0.0f) return;
    if (coverage > 1.0f) coverage = 1.0f;
    Rgba& p = image.At(x, y);
    Rgba keepAlpha = p;
    p = Mix(p, colour, coverage * colour.a / 255.0f);
    p.a = keepAlpha.a;
}

void FillRect(Image& image, int x0, int y0, int x1, int y1, Rgba colour) {
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, image.width);
    y1 = std::min(y1, image.height);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) image.At(x, y) = colour;
}

void FillCircle(Image& image, float cx, float cy, float radius, Rgba colour) {
    int x0 = static_cast<int>(std::floor(cx - radius - 1)), x1 = static_cast<int>(std::ceil(cx + radius + 1));
    int y0 = static_cast<int>(std::floor(cy - radius - 1)), y1 = static_cast<int>(std::ceil(cy + radius + 1));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy);
            BlendPixel(image, x, y, colour, radius - d + 0.5f);
        }
}

void FillEllipse(Image& image, float cx, float cy, float rx, float ry, Rgba colour) {
    int x0 = static_cast<int>(std::floor(cx - rx - 1)), x1 = static_cast<int>(std::ceil(cx + rx + 1));
    int y0 = static_cast<int>(std::floor(cy - ry - 1)), y1 = static_cast<int>(std::ceil(cy + ry + 1));
    float r = std::min(rx, ry);
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            float dx = (x + 0.5f - cx) / rx, dy = (y + 0.5f - cy) / ry;
            // Distance to the rim in pixels, roughly, for a soft edge.
            float d = (std::sqrt(dx * dx + dy * dy) - 1.0f) * r;
            BlendPixel(image, x, y, colour, 0.5f - d);
        }
}

void DrawLine(Image& image, float x0, float y0, float x1, float y1, float width, Rgba colour) {
    float half = width * 0.5f;
    int bx0 = static_cast<int>(std::floor(std::min(x0, x1) - half - 1));
    int bx1 = static_cast<int>(std::ceil(std::max(x0, x1) + half + 1));
    int by0 = static_cast<int>(std::floor(std::min(y0, y1) - half - 1));
    int by1 = static_cast<int>(std::ceil(std::max(y0, y1) + half + 1));
    float dx = x1 - x0, dy = y1 - y0, len2 = dx * dx + dy * dy;
    for (int y = by0; y <= by1; ++y)
        for (int x = bx0; x <= bx1; ++x) {
            float px = x + 0.5f - x0, py = y + 0.5f - y0;
            float t = len2 > 0.0f ? std::clamp((px * dx + py * dy) / len2, 0.0f, 1.0f) : 0.0f;
            float d = std::hypot(px - t * dx, py - t * dy);
            BlendPixel(image, x, y, colour, half - d + 0.5f);
        }
}

void FillPolygon(Image& image, const std::vector<float>& xy, Rgba colour) {
    size_t n = xy.size() / 2;
    if (n < 3) return;
    for (int y = 0; y < image.height; ++y) {
        float py = y + 0.5f;
        std::vector<float> crossings;
        for (size_t i = 0; i < n; ++i) {
            float ax = xy[2 * i], ay = xy[2 * i + 1];
            float bx = xy[2 * ((i + 1) % n)], by = xy[2 * ((i + 1) % n) + 1];
            if ((ay <= py && by > py) || (by <= py && ay > py))
                crossings.push_back(ax + (py - ay) / (by - ay) * (bx - ax));
        }
        std::sort(crossings.begin(), crossings.end());
        for (size_t i = 0; i + 1 < crossings.size(); i += 2) {
            int xa = static_cast<int>(std::ceil(crossings[i] - 0.5f));
            int xb = static_cast<int>(std::floor(crossings[i + 1] - 0.5f));
            for (int x = std::max(xa, 0); x <= std::min(xb, image.width - 1); ++x) image.At(x, y) = colour;
        }
    }
}

Noise MakeNoise(int period, uint32_t seed) {
    Noise noise;
    noise.period = period;
    SeedRand(seed);
    noise.lattice.resize(static_cast<size_t>(period) * period);
    for (float& value : noise.lattice) value = static_cast<float>(Rand()) / RandMax;
    return noise;
}

float SampleNoise(const Noise& noise, float x, float y) {
    int p = noise.period;
    float fx = std::floor(x), fy = std::floor(y);
    int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    float tx = x - fx, ty = y - fy;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    auto at = [&](int cx, int cy) {
        cx = ((cx % p) + p) % p;
        cy = ((cy % p) + p) % p;
        return noise.lattice[static_cast<size_t>(cy) * p + cx];
    };
    float a = at(ix, iy) + (at(ix + 1, iy) - at(ix, iy)) * tx;
    float b = at(ix, iy + 1) + (at(ix + 1, iy + 1) - at(ix, iy + 1)) * tx;
    return a + (b - a) * ty;
}

float TiledFractal(const Noise& noise, float x, float y, int octaves) {
    float sum = 0.0f, weight = 0.5f, total = 0.0f;
    float scale = static_cast<float>(noise.period);
    for (int o = 0; o < octaves; ++o) {
        // Each octave samples a shifted copy of the lattice at a whole number of periods
        // per tile, so the sum still tiles.
        sum += weight * SampleNoise(noise, x * scale + 17.0f * o, y * scale + 31.0f * o);
        total += weight;
        weight *= 0.5f;
        scale *= 2.0f;
    }
    return sum / total;
}

namespace {

void Put16(std::vector<uint8_t>& out, unsigned value) {
    out.push_back(static_cast<uint8_t>(value & 0xFF));
    out.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
}

void Put32(std::vector<uint8_t>& out, uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

bool SamePixel(const Rgba& a, const Rgba& b, bool withAlpha) {
    return a.r == b.r && a.g == b.g && a.b == b.b && (!withAlpha || a.a == b.a);
}

// Writes pixels as TGA run-length packets: runs of 2 or more equal pixels become repeat
// packets, the rest literal packets, none longer than 128 pixels.
template <typename EmitPixel>
void PackRuns(const std::vector<Rgba>& pixels, bool withAlpha, std::vector<uint8_t>& out, EmitPixel emit) {
    size_t n = pixels.size(), i = 0;
    while (i < n) {
        size_t run = 1;
        while (i + run < n && run < 128 && SamePixel(pixels[i + run], pixels[i], withAlpha)) ++run;
        if (run >= 2) {
            out.push_back(static_cast<uint8_t>(127 + run));
            emit(pixels[i]);
            i += run;
            continue;
        }
        size_t literal = 1;
        while (i + literal < n && literal < 128 &&
               !(i + literal + 1 < n && SamePixel(pixels[i + literal], pixels[i + literal + 1], withAlpha)))
            ++literal;
        out.push_back(static_cast<uint8_t>(literal - 1));
        for (size_t k = 0; k < literal; ++k) emit(pixels[i + k]);
        i += literal;
    }
}

}  // namespace

std::vector<uint8_t> EncodeBmp(const Image& image) {
    int rowBytes = (image.width * 3 + 3) & ~3;
    uint32_t dataSize = static_cast<uint32_t>(rowBytes) * image.height;
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, 54 + dataSize);
    Put32(out, 0);
    Put32(out, 54);
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(image.width));
    Put32(out, static_cast<uint32_t>(image.height));  // positive: bottom row first
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);  // BI_RGB
    Put32(out, dataSize);
    Put32(out, 2835);  // 72 dpi
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const Rgba& p = image.At(x, y);
            out.push_back(p.b);
            out.push_back(p.g);
            out.push_back(p.r);
        }
        for (int pad = image.width * 3; pad < rowBytes; ++pad) out.push_back(0);
    }
    return out;
}

std::vector<uint8_t> EncodeTga(const Image& image, bool runLength, bool withAlpha, bool reversedOrder) {
    std::vector<uint8_t> out;
    out.push_back(0);                     // no image id
    out.push_back(0);                     // no colour map
    out.push_back(runLength ? 10 : 2);    // true colour
    Put16(out, 0);
    Put16(out, 0);
    out.push_back(0);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, static_cast<unsigned>(image.width));
    Put16(out, static_cast<unsigned>(image.height));
    out.push_back(withAlpha ? 32 : 24);
    // Descriptor: exactly 0 means "bottom row first", which the reader undoes by reversing
    // the whole pixel order; 0x20 is top-left origin (kept as is), plus the alpha bits.
    out.push_back(reversedOrder ? 0 : static_cast<uint8_t>(0x20 | (withAlpha ? 8 : 0)));
    std::vector<Rgba> order = image.pixels;
    if (reversedOrder) std::reverse(order.begin(), order.end());
    auto emit = [&out, withAlpha](const Rgba& p) {
        out.push_back(p.b);
        out.push_back(p.g);
        out.push_back(p.r);
        if (withAlpha) out.push_back(p.a);
    };
    if (runLength)
        PackRuns(order, withAlpha, out, emit);
    else
        for (const Rgba& p : order) emit(p);
    return out;
}

void ReduceColours(Image& image, size_t maxColours) {
    for (int bits = 8; bits >= 1; --bits) {
        int drop = 8 - bits;
        std::map<uint32_t, int> seen;
        for (const Rgba& p : image.pixels) {
            uint32_t key = (static_cast<uint32_t>(p.r >> drop) << 16) | ((p.g >> drop) << 8) | (p.b >> drop);
            seen[key] = 1;
            if (seen.size() > maxColours) break;
        }
        if (seen.size() > maxColours) continue;
        if (drop == 0) return;
        // Each level stands for the middle of the values it covers.
        auto level = [drop](uint8_t c) {
            int v = ((c >> drop) << drop) + (1 << (drop - 1));
            return static_cast<uint8_t>(std::min(v, 255));
        };
        for (Rgba& p : image.pixels) {
            p.r = level(p.r);
            p.g = level(p.g);
            p.b = level(p.b);
        }
        return;
    }
}

bool EncodeColourMappedTga(const Image& image, std::vector<uint8_t>& out) {
    std::map<uint32_t, uint8_t> index;
    std::vector<Rgba> map;
    std::vector<uint8_t> indices;
    indices.reserve(image.pixels.size());
    for (const Rgba& p : image.pixels) {
        uint32_t key = (static_cast<uint32_t>(p.r) << 16) | (p.g << 8) | p.b;
        auto found = index.find(key);
        if (found == index.end()) {
            if (map.size() == 256) return false;
            found = index.emplace(key, static_cast<uint8_t>(map.size())).first;
            map.push_back(p);
        }
        indices.push_back(found->second);
    }
    out.clear();
    out.push_back(0);
    out.push_back(1);  // colour map present
    out.push_back(1);  // colour-mapped, uncompressed
    Put16(out, 0);
    Put16(out, static_cast<unsigned>(map.size()));
    out.push_back(24);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, static_cast<unsigned>(image.width));
    Put16(out, static_cast<unsigned>(image.height));
    out.push_back(8);
    out.push_back(0x20);  // top-left origin
    for (const Rgba& c : map) {
        out.push_back(c.b);
        out.push_back(c.g);
        out.push_back(c.r);
    }
    out.insert(out.end(), indices.begin(), indices.end());
    return true;
}

std::vector<uint8_t> EncodeJpeg(const Image& image, int quality, bool fullColour) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(image.width);
    cinfo.image_height = static_cast<JDIMENSION>(image.height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    if (fullColour) {
        // Colour kept for every pixel: by default it is shared by 2 x 2 pixels, which bleeds
        // the fields' green into a small patch of another colour.
        cinfo.comp_info[0].h_samp_factor = 1;
        cinfo.comp_info[0].v_samp_factor = 1;
    }
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<uint8_t> row(static_cast<size_t>(image.width) * 3);
    while (cinfo.next_scanline < cinfo.image_height) {
        int y = static_cast<int>(cinfo.next_scanline);
        for (int x = 0; x < image.width; ++x) {
            const Rgba& p = image.At(x, y);
            row[3 * x] = p.r;
            row[3 * x + 1] = p.g;
            row[3 * x + 2] = p.b;
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<uint8_t> out(buffer, buffer + size);
    std::free(buffer);
    return out;
}
