#include "support/picture_files.h"

#include <jpeglib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

std::vector<uint8_t> tgaHeader(int imageType, int width, int height, int depth, int idLength) {
    std::vector<uint8_t> bytes(18, 0);
    bytes[0] = uint8_t(idLength);
    bytes[2] = uint8_t(imageType);
    bytes[12] = uint8_t(width & 0xFF);
    bytes[13] = uint8_t(width >> 8);
    bytes[14] = uint8_t(height & 0xFF);
    bytes[15] = uint8_t(height >> 8);
    bytes[16] = uint8_t(depth);
    bytes.resize(bytes.size() + size_t(idLength), 0xEE);
    return bytes;
}

std::vector<uint8_t> tgaFile(int imageType, int width, int height, int depth, const std::vector<uint8_t>& pixelBytes) {
    std::vector<uint8_t> bytes = tgaHeader(imageType, width, height, depth);
    bytes.insert(bytes.end(), pixelBytes.begin(), pixelBytes.end());
    return bytes;
}

std::vector<uint8_t> encodeJpeg(int width, int height, const std::vector<uint8_t>& samples,
                                const JpegOptions& options) {
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = options.components;
    info.in_color_space = options.components == 1 ? JCS_GRAYSCALE : options.components == 4 ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, options.quality, TRUE);
    if (options.progressive) jpeg_simple_progression(&info);
    // Full-resolution chroma keeps small colour tests exact.
    for (int i = 0; i < info.num_components; ++i) {
        info.comp_info[i].h_samp_factor = 1;
        info.comp_info[i].v_samp_factor = 1;
    }
    jpeg_start_compress(&info, TRUE);
    const size_t rowSize = size_t(width) * size_t(options.components);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(samples.data() + info.next_scanline * rowSize);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<uint8_t> bytes(buffer, buffer + size);
    std::free(buffer);
    return bytes;
}

std::vector<uint8_t> solidRgb(int width, int height, uint8_t red, uint8_t green, uint8_t blue) {
    std::vector<uint8_t> samples;
    for (int i = 0; i < width * height; ++i) samples.insert(samples.end(), {red, green, blue});
    return samples;
}

void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) throw std::runtime_error("cannot write " + path);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

void writeTgaFile(const std::string& path, int width, int height, const std::function<Rgba(int x, int y)>& colourAt) {
    std::vector<uint8_t> bytes = tgaHeader(2, width, height, 32);
    bytes[17] = 8;  // eight alpha bits, lower-left origin
    // Lower-left origin: the bottom row comes first in the file.
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const Rgba c = colourAt(x, y);
            bytes.insert(bytes.end(), {c.b, c.g, c.r, c.a});
        }
    }
    writeBytes(path, bytes);
}

std::string writeSolidTga(const std::string& path, int width, int height, uint8_t red, uint8_t green, uint8_t blue,
                          uint8_t alpha) {
    writeTgaFile(path, width, height, [&](int, int) { return Rgba{red, green, blue, alpha}; });
    return path;
}
