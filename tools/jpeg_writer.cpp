#include "jpeg_writer.h"

#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

std::vector<uint8_t> encodeJpeg(const Picture& picture, int quality) {
  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);  // a compression error is a tool bug: let it exit
  jpeg_create_compress(&info);

  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = JDIMENSION(picture.width);
  info.image_height = JDIMENSION(picture.height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  jpeg_start_compress(&info, TRUE);

  std::vector<uint8_t> row(size_t(picture.width) * 3);
  while (info.next_scanline < info.image_height) {
    int y = int(info.next_scanline);
    for (int x = 0; x < picture.width; ++x) {
      const Rgba& p = picture.at(x, y);
      row[size_t(x) * 3 + 0] = toByte(p.r);
      row[size_t(x) * 3 + 1] = toByte(p.g);
      row[size_t(x) * 3 + 2] = toByte(p.b);
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);

  std::vector<uint8_t> bytes(buffer, buffer + size);
  std::free(buffer);
  return bytes;
}
