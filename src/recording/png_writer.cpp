#include "recording/png_writer.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <limits>

namespace {

void appendBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void flushNothing(png_structp) {}

bool pictureIsUsable(const RgbaPicture& picture) {
    if (picture.pixels == nullptr || picture.width <= 0 || picture.height <= 0) return false;
    // One row of RGB must fit the encoder's sizes.
    return picture.width <= std::numeric_limits<int>::max() / 4;
}

// Kept apart from encodePng so that no object with a destructor lives in
// the frame that setjmp returns to.
bool encodeRows(const RgbaPicture& picture, std::vector<uint8_t>& png, int compression, png_bytep row) {
    png_structp writer = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (writer == nullptr) return false;
    png_infop info = png_create_info_struct(writer);
    if (info == nullptr || setjmp(png_jmpbuf(writer))) {
        png_destroy_write_struct(&writer, &info);
        return false;
    }
    png_set_write_fn(writer, &png, appendBytes, flushNothing);
    png_set_IHDR(writer, info, static_cast<png_uint_32>(picture.width), static_cast<png_uint_32>(picture.height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(writer, compression);
    png_write_info(writer, info);
    const size_t rowBytes = static_cast<size_t>(picture.width) * 4;
    for (int y = 0; y < picture.height; ++y) {
        const int source = picture.bottomRowFirst ? picture.height - 1 - y : y;
        const uint8_t* in = picture.pixels + static_cast<size_t>(source) * rowBytes;
        for (int x = 0; x < picture.width; ++x) {
            row[x * 3] = in[x * 4];
            row[x * 3 + 1] = in[x * 4 + 1];
            row[x * 3 + 2] = in[x * 4 + 2];
        }
        png_write_row(writer, row);
    }
    png_write_end(writer, nullptr);
    png_destroy_write_struct(&writer, &info);
    return true;
}

}  // namespace

bool encodePng(const RgbaPicture& picture, std::vector<uint8_t>& png, int compression) {
    png.clear();
    if (!pictureIsUsable(picture)) return false;
    if (compression < 0 || compression > 9) compression = pngFastCompression;
    std::vector<uint8_t> row(static_cast<size_t>(picture.width) * 3);
    if (!encodeRows(picture, png, compression, row.data())) {
        png.clear();
        return false;
    }
    return true;
}

bool writePngFile(const std::string& path, const RgbaPicture& picture, int compression) {
    std::vector<uint8_t> png;
    if (!encodePng(picture, png, compression)) return false;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(png.data(), 1, png.size(), file) == png.size();
    // A full disk may only show when the buffered bytes are flushed.
    const bool closed = std::fclose(file) == 0;
    return written && closed;
}
