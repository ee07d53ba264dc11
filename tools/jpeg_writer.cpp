#include "jpeg_writer.h"

#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

std::vector<uint8_t> encodeJpeg(const Picture& picture, int quality) {
    std::vector<uint8_t> samples(size_t(picture.width) * size_t(picture.height) * 3);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const Rgba& p = picture.at(x, y);
            uint8_t* out = &samples[(size_t(y) * size_t(picture.width) + size_t(x)) * 3];
            out[0] = toByte(p.r);
            out[1] = toByte(p.g);
            out[2] = toByte(p.b);
        }
    }
    return encodeJpegSamples(picture.width, picture.height, 3, samples, quality, false);
}

std::vector<uint8_t> encodeJpegSamples(int width, int height, int components, const std::vector<uint8_t>& samples,
                                       int quality, bool progressive) {
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);  // a compression error is a tool bug: let it exit
    jpeg_create_compress(&info);

    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = components;
    info.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 4 ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    if (progressive) jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);

    const size_t rowSize = size_t(width) * size_t(components);
    while (info.next_scanline < info.image_height) {
        // libjpeg takes non-const rows but only reads them.
        JSAMPROW rows[1] = {const_cast<uint8_t*>(samples.data()) + size_t(info.next_scanline) * rowSize};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);

    std::vector<uint8_t> bytes(buffer, buffer + size);
    std::free(buffer);
    return bytes;
}
