#include "tga_writer.h"

#include <cstdio>
#include <cstring>

namespace {

void put16(std::vector<uint8_t>& out, int value) {
    out.push_back(uint8_t(value & 0xff));
    out.push_back(uint8_t((value >> 8) & 0xff));
}

// File bytes of one pixel: B, G, R and, for 32 bits, A.
void appendPixel(const Rgba& p, const TgaFormat& format, std::vector<uint8_t>& out) {
    out.push_back(toByte(p.b));
    out.push_back(toByte(p.g));
    out.push_back(toByte(p.r));
    if (format.bitsPerPixel == 32) out.push_back(format.hasAlpha ? toByte(p.a) : 255);
}

bool samePixel(const uint8_t* a, const uint8_t* b, int bytesPerPixel) {
    return std::memcmp(a, b, size_t(bytesPerPixel)) == 0;
}

}  // namespace

void appendRunLengthRow(const uint8_t* row, int width, int bytesPerPixel, std::vector<uint8_t>& out) {
    auto pixel = [&](int i) { return row + size_t(i) * bytesPerPixel; };
    int i = 0;
    while (i < width) {
        int run = 1;
        while (i + run < width && run < 128 && samePixel(pixel(i), pixel(i + run), bytesPerPixel)) ++run;
        if (run >= 2) {
            out.push_back(uint8_t(127 + run));
            out.insert(out.end(), pixel(i), pixel(i) + bytesPerPixel);
            i += run;
            continue;
        }
        // Raw packet: up to the start of the next run of two equal pixels.
        int count = 1;
        while (i + count < width && count < 128 &&
               !(i + count + 1 < width && samePixel(pixel(i + count), pixel(i + count + 1), bytesPerPixel)))
            ++count;
        out.push_back(uint8_t(count - 1));
        out.insert(out.end(), pixel(i), pixel(i + count));
        i += count;
    }
}

std::vector<uint8_t> encodeTga(const Picture& picture, const TgaFormat& format) {
    const bool runLength = format.encoding == TgaEncoding::RunLength;
    const int bytesPerPixel = format.bitsPerPixel / 8;
    std::vector<uint8_t> out;
    out.push_back(0);                   // no image ID
    out.push_back(0);                   // no colour map
    out.push_back(runLength ? 10 : 2);  // true colour, compressed or not
    out.insert(out.end(), 5, 0);        // colour map fields, unused
    put16(out, 0);                      // x origin
    put16(out, 0);                      // y origin
    put16(out, picture.width);
    put16(out, picture.height);
    out.push_back(uint8_t(format.bitsPerPixel));
    uint8_t descriptor = (format.bitsPerPixel == 32 && format.hasAlpha) ? 8 : 0;
    if (runLength) descriptor |= 0x20;  // upper-left origin
    out.push_back(descriptor);

    std::vector<uint8_t> row;
    for (int k = 0; k < picture.height; ++k) {
        int y = runLength ? k : picture.height - 1 - k;
        row.clear();
        for (int x = 0; x < picture.width; ++x) appendPixel(picture.at(x, y), format, row);
        if (runLength)
            appendRunLengthRow(row.data(), picture.width, bytesPerPixel, out);
        else
            out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

bool writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return false;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = std::fclose(f) == 0 && ok;
    if (!ok) std::fprintf(stderr, "short write to %s\n", path.c_str());
    return ok;
}
