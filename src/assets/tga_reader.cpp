#include "assets/tga_reader.h"

#include <cstdio>

#include "platform/file_bytes.h"
#include "platform/report.h"

namespace {

constexpr size_t headerSize = 18;
constexpr int colourMapPresent = 1;
constexpr int greyType = 3;
constexpr int runLengthType = 10;
constexpr int runLengthGreyType = 11;
constexpr size_t maxPacketPixels = 128;

uint16_t little16(const uint8_t* bytes) { return uint16_t(bytes[0] | bytes[1] << 8); }

// How a file pixel is stored and what it becomes.
enum class PixelKind {
    Bgra32,     // B,G,R,A kept as they are
    Bgr24,      // becomes R,G,B
    Rgb555,     // 16 bits x RRRRR GGGGG BBBBB, the top bit ignored; becomes R,G,B
    GreyAlpha,  // grey byte then alpha byte; becomes B,G,R,A with B = G = R
};

struct PixelFormat {
    PixelKind kind;
    size_t inBytes;
    size_t outBytes;
};

PixelFormat pixelFormat(int imageType, int depth) {
    if (depth == 32) return {PixelKind::Bgra32, 4, 4};
    if (depth == 24) return {PixelKind::Bgr24, 3, 3};
    // Sixteen bits in a grey file are a grey byte and an alpha byte, not
    // 5-bit colour channels.
    if (imageType == greyType || imageType == runLengthGreyType) return {PixelKind::GreyAlpha, 2, 4};
    return {PixelKind::Rgb555, 2, 3};
}

void decodePixel(const uint8_t* in, PixelKind kind, uint8_t* out) {
    switch (kind) {
    case PixelKind::Bgra32:
        for (int i = 0; i < 4; ++i) out[i] = in[i];
        break;
    case PixelKind::Bgr24:
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
        break;
    case PixelKind::Rgb555: {
        const uint16_t v = little16(in);
        out[0] = uint8_t(((v >> 10) & 31) << 3);
        out[1] = uint8_t(((v >> 5) & 31) << 3);
        out[2] = uint8_t((v & 31) << 3);
        break;
    }
    case PixelKind::GreyAlpha:
        out[0] = out[1] = out[2] = in[0];
        out[3] = in[1];
        break;
    }
}

void reportTruncated(const char* name) { QUARN_REPORTF(Output, "tga file %s is truncated\n", name); }

bool decodeUncompressed(const uint8_t* in, size_t available, PixelFormat format, TgaImage& image, const char* name) {
    const size_t pixelCount = size_t(image.width) * size_t(image.height);
    if (pixelCount * format.inBytes > available) {
        reportTruncated(name);
        return false;
    }
    const size_t rowPixels = size_t(image.width);
    image.data.resize(pixelCount * format.outBytes);
    for (size_t k = 0; k < size_t(image.height); ++k) {
        // 16-bit colour rows keep the file order; the others are stored
        // bottom-up and come out top row first.
        const size_t row = format.kind == PixelKind::Rgb555 ? k : size_t(image.height) - 1 - k;
        const uint8_t* source = in + k * rowPixels * format.inBytes;
        uint8_t* target = image.data.data() + row * rowPixels * format.outBytes;
        for (size_t x = 0; x < rowPixels; ++x)
            decodePixel(source + x * format.inBytes, format.kind, target + x * format.outBytes);
    }
    return true;
}

bool decodeRunLength(const uint8_t* in, size_t available, PixelFormat format, TgaImage& image, const char* name) {
    const size_t inBytes = format.inBytes;
    const size_t outBytes = format.outBytes;
    const size_t pixelCount = size_t(image.width) * size_t(image.height);
    // Each packet takes at least 1 + inBytes bytes for at most 128 pixels:
    // refuse headers the data could never fill before allocating for them.
    const size_t packetsPossible = (available + inBytes) / (inBytes + 1);
    if (pixelCount > packetsPossible * maxPacketPixels) {
        reportTruncated(name);
        return false;
    }
    image.data.resize(pixelCount * outBytes);
    size_t pos = 0;
    size_t written = 0;
    while (written < pixelCount) {
        if (pos >= available) {
            reportTruncated(name);
            return false;
        }
        const uint8_t header = in[pos++];
        const bool run = header >= 128;
        const size_t count = run ? size_t(header) - 127 : size_t(header) + 1;
        if (count > pixelCount - written) {
            QUARN_REPORTF(Output, "tga file %s: run-length packet runs past the last pixel\n", name);
            return false;
        }
        const size_t needed = run ? inBytes : count * inBytes;
        if (needed > available - pos) {
            reportTruncated(name);
            return false;
        }
        for (size_t i = 0; i < count; ++i) {
            const uint8_t* source = in + pos + (run ? 0 : i * inBytes);
            decodePixel(source, format.kind, image.data.data() + (written + i) * outBytes);
        }
        pos += needed;
        written += count;
    }
    return true;
}

// Bytes of the colour map between the ID field and the pixels: its entry
// count times the whole bytes of one entry (15-bit entries take two). The
// index of the first entry only matters to the map's users, not its size.
size_t colourMapBytes(const uint8_t* header) {
    if (header[1] != colourMapPresent) return 0;
    const size_t entries = little16(header + 5);
    const size_t entryBytes = (size_t(header[7]) + 7) / 8;
    return entries * entryBytes;
}

}  // namespace

std::unique_ptr<TgaImage> parseTga(const uint8_t* bytes, size_t size, const char* name) {
    if (size < headerSize) {
        reportTruncated(name);
        return nullptr;
    }
    const size_t idLength = bytes[0];
    const int imageType = bytes[2];
    const int width = little16(bytes + 12);
    const int height = little16(bytes + 14);
    const int depth = bytes[16];
    QUARN_REPORTF(Output, "Load_TGA() : width = %i height = %i\n", width, height);

    if (depth != 32 && depth != 24 && depth != 16) return nullptr;
    // A true-colour file may still carry a colour map; its pixels follow it.
    const size_t dataStart = headerSize + idLength + colourMapBytes(bytes);
    if (dataStart > size) {
        reportTruncated(name);
        return nullptr;
    }

    const PixelFormat format = pixelFormat(imageType, depth);
    auto image = std::make_unique<TgaImage>();
    image->bytesPerPixel = int(format.outBytes);
    image->width = width;
    image->height = height;
    const uint8_t* data = bytes + dataStart;
    const size_t available = size - dataStart;
    const bool runLength = imageType == runLengthType || (imageType == runLengthGreyType && depth == 16);
    const bool decoded = runLength ? decodeRunLength(data, available, format, *image, name)
                                   : decodeUncompressed(data, available, format, *image, name);
    if (!decoded) return nullptr;
    return image;
}

std::unique_ptr<TgaImage> Load_TGA(const char* path) {
    std::vector<uint8_t> bytes;
    std::string reason;
    if (!readPictureFile(path, bytes, reason)) {
        QUARN_REPORTF(Output, "Error loading tga file %s.\n", path);
        return nullptr;
    }
    return parseTga(bytes.data(), bytes.size(), path);
}

namespace {

// Brings a decoded TGA to the loaders' 4-byte B,G,R,A form; 3-byte pixels
// get the alpha 255, as JPEG pixels do.
std::unique_ptr<Image> imageFromTga(std::unique_ptr<TgaImage> tga, const std::string& fileName) {
    if (!tga) {
        QUARN_REPORTF(Output, "tga loading failed for %s\n", fileName.c_str());
        return nullptr;
    }
    auto image = std::make_unique<Image>();
    image->width = tga->width;
    image->height = tga->height;
    if (tga->bytesPerPixel == 4) {
        image->pixels = std::move(tga->data);
    } else {
        const size_t pixelCount = tga->data.size() / 3;
        image->pixels.resize(pixelCount * 4);
        for (size_t i = 0; i < pixelCount; ++i) {
            const uint8_t* rgb = &tga->data[i * 3];
            uint8_t* bgra = &image->pixels[i * 4];
            bgra[0] = rgb[2];
            bgra[1] = rgb[1];
            bgra[2] = rgb[0];
            bgra[3] = 255;
        }
    }
    QUARN_REPORTF(Output, "success in loading.. data: %p, width: %i height: %i\n",
                  static_cast<void*>(image->pixels.data()), image->width, image->height);
    return image;
}

}  // namespace

std::unique_ptr<Image> TgaLoader::load(std::string fileName) {
    return imageFromTga(Load_TGA(fileName.c_str()), fileName);
}

std::unique_ptr<Image> TgaLoader::loadFromBytes(const uint8_t* bytes, size_t size, const std::string& name) {
    return imageFromTga(parseTga(bytes, size, name.c_str()), name);
}
