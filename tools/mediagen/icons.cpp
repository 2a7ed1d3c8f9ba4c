// The desktop icon at every size the icon theme asks for. Each size is painted afresh
// rather than scaled from another, so small sizes keep crisp edges and the 64-pixel icon
// is the same picture as the media folder's icon.bmp.
#include <vector>

#include "image.h"
#include "media_output.h"
#include "pictures.h"
#include "png_writer.h"

Image PaintIcon(int size) {
    const float s = size / 64.0f, centre = size / 2.0f;
    Image image = MakeImage(size, size, {0, 0, 0, 255});
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            image.At(x, y) = Mix({70, 110, 170, 255}, {200, 210, 220, 255}, y / (size - 1.0f));
    FillCircle(image, centre, centre, 29 * s, {32, 52, 128, 255});
    FillCircle(image, centre, centre, 20 * s, {236, 232, 222, 255});
    FillCircle(image, centre, centre, 10.5f * s, {186, 32, 40, 255});
    PaintBiplane(image, 30 * s, 34 * s, 50 * s, 0.25f, {20, 20, 24, 255});
    return image;
}

void MakeIcons(MediaOutput& out) {
    for (int size : {48, 64, 128, 256}) {
        const Image icon = PaintIcon(size);
        std::vector<uint8_t> rgb;
        rgb.reserve(icon.pixels.size() * 3);
        for (const Rgba& p : icon.pixels) rgb.insert(rgb.end(), {p.r, p.g, p.b});
        const std::string name = "kelvane-" + std::to_string(size) + ".png";
        if (!WritePng(OutputPath(out, name), rgb, icon.width, icon.height))
            ReportFailure(out, name, "cannot write the file");
    }
}
