// The launcher's title picture (640 x 480: dawn over the hills, a biplane climbing away and
// the game's name) and the media folder's 64-pixel desktop icon. The launcher's controls
// cover the top 24 rows and the bottom-right corner, so nothing that matters is painted there.
#include <algorithm>
#include <cmath>

#include "font.h"
#include "image.h"
#include "media_output.h"
#include "pictures.h"
#include "png_writer.h"

void PaintBiplane(Image& image, float cx, float cy, float size, float angle, Rgba colour) {
    float c = std::cos(angle), s = std::sin(angle);
    auto at = [&](float x, float y, float& px, float& py) {
        px = cx + (x * c + y * s) * size;
        py = cy + (-x * s + y * c) * size;
    };
    auto line = [&](float x0, float y0, float x1, float y1, float width) {
        float ax, ay, bx, by;
        at(x0, y0, ax, ay);
        at(x1, y1, bx, by);
        DrawLine(image, ax, ay, bx, by, width * size, colour);
    };
    line(-0.5f, -0.01f, 0.42f, 0.0f, 0.09f);   // fuselage
    line(0.42f, 0.0f, 0.48f, 0.0f, 0.13f);     // cowling
    line(-0.02f, -0.2f, 0.24f, -0.2f, 0.035f); // upper wing
    line(-0.04f, 0.06f, 0.2f, 0.06f, 0.035f);  // lower wing
    line(0.02f, -0.19f, 0.02f, 0.05f, 0.015f); // struts
    line(0.18f, -0.19f, 0.16f, 0.05f, 0.015f);
    line(-0.5f, -0.03f, -0.46f, -0.16f, 0.05f); // fin
    line(-0.52f, 0.0f, -0.36f, 0.0f, 0.03f);   // tail plane
    line(0.28f, 0.04f, 0.3f, 0.16f, 0.012f);   // undercarriage
    float wx, wy;
    at(0.3f, 0.17f, wx, wy);
    FillCircle(image, wx, wy, 0.05f * size, colour);
    float px, py;
    at(0.5f, 0.0f, px, py);
    FillEllipse(image, px, py, 0.02f * size, 0.16f * size, {colour.r, colour.g, colour.b, 110});
}

namespace {

// A line of hills: height above the base line from a few sine waves.
void PaintHills(Image& image, float base, float amplitude, float phase, Rgba colour) {
    for (int x = 0; x < image.width; ++x) {
        float fx = static_cast<float>(x);
        float h = amplitude * (0.55f * std::sin(fx * 0.011f + phase) + 0.3f * std::sin(fx * 0.027f + 2 * phase) +
                               0.15f * std::sin(fx * 0.061f + 3 * phase));
        float top = base - h;
        for (int y = std::max(0, static_cast<int>(top)); y < image.height; ++y) {
            float cover = std::clamp(y + 1.0f - top, 0.0f, 1.0f);
            BlendPixel(image, x, y, colour, cover);
        }
    }
}

Image PaintSplash() {
    Image image = MakeImage(640, 480, {0, 0, 0, 255});
    Noise clouds = MakeNoise(8, 9101);
    const float sunX = 470, sunY = 300;
    for (int y = 0; y < 480; ++y) {
        float t = y / 330.0f;
        Rgba sky = t < 0.75f ? Mix({34, 52, 104, 255}, {196, 128, 110, 255}, t / 0.75f)
                             : Mix({196, 128, 110, 255}, {250, 206, 140, 255}, std::min((t - 0.75f) / 0.25f, 1.0f));
        for (int x = 0; x < 640; ++x) {
            float d = std::hypot(x - sunX, (y - sunY) * 1.3f);
            Rgba c = Mix(sky, {255, 226, 160, 255}, std::clamp(1.0f - d / 260.0f, 0.0f, 1.0f) * 0.55f);
            // Streaks of cloud, lit warm from below.
            float n = TiledFractal(clouds, x / 1280.0f, y / 360.0f, 4);
            float band = std::clamp(1.0f - std::fabs(y - 250.0f) / 180.0f, 0.0f, 1.0f);
            float amount = std::clamp((n - 0.5f) * 3.5f, 0.0f, 1.0f) * band;
            Rgba cloud = Mix({120, 96, 120, 255}, {250, 190, 150, 255}, std::clamp((y - 90.0f) / 220.0f, 0.0f, 1.0f));
            image.At(x, y) = Mix(c, cloud, amount * 0.7f);
        }
    }
    FillCircle(image, sunX, sunY, 26, {255, 236, 190, 255});
    PaintHills(image, 322, 14, 0.4f, {128, 104, 128, 255});
    PaintHills(image, 345, 20, 1.9f, {84, 78, 102, 255});
    PaintHills(image, 378, 26, 3.1f, {46, 62, 52, 255});
    PaintHills(image, 420, 18, 4.7f, {30, 44, 32, 255});
    // The base on the near ridge: hangar, siren pole, a wind sock.
    FillPolygon(image, {70, 404, 70, 380, 102, 366, 134, 380, 134, 404}, {22, 26, 22, 255});
    FillRect(image, 90, 388, 114, 404, {58, 46, 30, 255});
    DrawLine(image, 150, 404, 150, 360, 2, {22, 26, 22, 255});
    DrawLine(image, 150, 362, 162, 366, 4, {22, 26, 22, 255});
    // Two machines climbing away toward the sun.
    PaintBiplane(image, 500, 250, 120, 0.18f, {30, 26, 30, 255});
    PaintBiplane(image, 590, 206, 44, 0.1f, {70, 56, 66, 255});

    // Title with an outline and a soft shadow.
    const std::string title = "KELVANE";
    const float scale = 12.0f, slant = 0.12f;
    float x = 320.0f - TextWidth(title, scale) * 0.5f - 6 * slant * scale * 0.5f, y = 92.0f;
    DrawText(image, title, x + 7, y + 8, scale, 22, slant, {20, 14, 24, 120});
    DrawText(image, title, x, y, scale, 21, slant, {52, 30, 16, 255});
    DrawText(image, title, x, y, scale, 13, slant, {236, 188, 78, 255});
    DrawText(image, title, x - 1.5f, y - 2, scale, 4, slant, {255, 236, 168, 255});
    const std::string subtitle = "THE GREAT WAR IN THE AIR";
    float sx = 320.0f - TextWidth(subtitle, 2.8f) * 0.5f;
    DrawText(image, subtitle, sx, 196, 2.8f, 5, 0, {40, 26, 30, 200});
    DrawText(image, subtitle, sx, 196, 2.8f, 2.4f, 0, {252, 236, 206, 255});
    return image;
}

}  // namespace

void MakePictures(MediaOutput& out) {
    SaveFile(out, "splash.jpg", EncodeJpeg(PaintSplash(), 90));
    const Image icon = PaintIcon(64);
    SaveFile(out, "icon.bmp", EncodeBmp(icon));
    // The desktop entry's icon: desktops take PNG.
    std::vector<uint8_t> rgb;
    rgb.reserve(icon.pixels.size() * 3);
    for (const Rgba& p : icon.pixels) rgb.insert(rgb.end(), {p.r, p.g, p.b});
    if (!WritePng(OutputPath(out, "icon.png"), rgb, icon.width, icon.height))
        ReportFailure(out, "icon.png", "cannot write the file");
}
