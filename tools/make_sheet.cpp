// The README's picture sheet: frames captured from the bundled demo, shrunk
// to 240x180 and laid out four to a row, each named below.
// Usage: tool_sheet OUT.png LABEL=FRAME.png ...
#include <png.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bitmap_font.h"
#include "picture.h"

namespace {

constexpr int tileWidth = 240;
constexpr int tileHeight = 180;
constexpr int border = 3;
constexpr int labelHeight = 19;
constexpr int columns = 4;

bool readRgb(const std::string& path, std::vector<uint8_t>& pixels, int& width, int& height) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_RGB;
    pixels.resize(PNG_IMAGE_SIZE(image));
    width = int(image.width);
    height = int(image.height);
    return png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) != 0;
}

// Each tile pixel is the mean of the frame pixels its area covers.
void shrinkInto(Picture& sheet, int left, int top, const std::vector<uint8_t>& rgb, int width, int height) {
    for (int y = 0; y < tileHeight; ++y) {
        for (int x = 0; x < tileWidth; ++x) {
            const int x0 = x * width / tileWidth, x1 = (x + 1) * width / tileWidth;
            const int y0 = y * height / tileHeight, y1 = (y + 1) * height / tileHeight;
            float sum[3] = {0, 0, 0};
            int count = 0;
            for (int sy = y0; sy < y1; ++sy)
                for (int sx = x0; sx < x1; ++sx, ++count)
                    for (int c = 0; c < 3; ++c) sum[c] += rgb[(size_t(sy) * width + sx) * 3 + c];
            if (count == 0) continue;
            sheet.at(left + x, top + y) = {sum[0] / count / 255.0f, sum[1] / count / 255.0f, sum[2] / count / 255.0f,
                                           1.0f};
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: tool_sheet OUT.png LABEL=FRAME.png ...\n");
        return 2;
    }
    const int tiles = argc - 2;
    const int rows = (tiles + columns - 1) / columns;
    const int cellWidth = tileWidth + 2 * border;
    const int cellHeight = tileHeight + 2 * border + labelHeight;
    Picture sheet(columns * cellWidth, rows * cellHeight, {0, 0, 0, 1});
    for (int i = 0; i < tiles; ++i) {
        const std::string argument = argv[i + 2];
        const std::size_t equals = argument.find('=');
        if (equals == std::string::npos) {
            std::fprintf(stderr, "tool_sheet: %s is not LABEL=FRAME.png\n", argument.c_str());
            return 2;
        }
        std::vector<uint8_t> rgb;
        int width = 0, height = 0;
        if (!readRgb(argument.substr(equals + 1), rgb, width, height) || width < tileWidth || height < tileHeight) {
            std::fprintf(stderr, "tool_sheet: cannot read %s\n", argument.c_str() + equals + 1);
            return 1;
        }
        const int left = (i % columns) * cellWidth + border;
        const int top = (i / columns) * cellHeight + border;
        shrinkInto(sheet, left, top, rgb, width, height);
        paintCentredText(sheet, argument.substr(0, equals), left + tileWidth / 2, top + tileHeight + 6, 1,
                         {0.8f, 0.8f, 0.8f, 1.0f});
    }
    std::vector<uint8_t> out(sheet.pixels.size() * 3);
    for (std::size_t p = 0; p < sheet.pixels.size(); ++p) {
        out[p * 3] = toByte(sheet.pixels[p].r);
        out[p * 3 + 1] = toByte(sheet.pixels[p].g);
        out[p * 3 + 2] = toByte(sheet.pixels[p].b);
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(sheet.width);
    image.height = png_uint_32(sheet.height);
    image.format = PNG_FORMAT_RGB;
    if (!png_image_write_to_file(&image, argv[1], 0, out.data(), 0, nullptr)) {
        std::fprintf(stderr, "tool_sheet: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
