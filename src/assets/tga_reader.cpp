#include "assets/tga_reader.h"

#include <cstdio>

#include "platform/file_bytes.h"

namespace {

constexpr size_t headerSize = 18;
constexpr int runLengthType = 10;
constexpr size_t maxPacketPixels = 128;

uint16_t little16(const uint8_t* bytes) { return uint16_t(bytes[0] | bytes[1] << 8); }

// One file pixel in the decoded form: 32-bit pixels keep their file bytes
// B,G,R,A; 24- and 16-bit pixels become R,G,B.
void decodePixel(const uint8_t* in, int depth, uint8_t* out) {
    if (depth == 32) {
        for (int i = 0; i < 4; ++i) out[i] = in[i];
    } else if (depth == 24) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
    } else {  // 16 bits: x RRRRR GGGGG BBBBB, the top bit ignored
        const uint16_t v = little16(in);
        out[0] = uint8_t(((v >> 10) & 31) << 3);
        out[1] = uint8_t(((v >> 5) & 31) << 3);
        out[2] = uint8_t((v & 31) << 3);
    }
}

void reportTruncated(const char* name) { std::printf("tga file %s is truncated\n", name); }

bool decodeUncompressed(const uint8_t* in, size_t available, int depth, TgaImage& image, const char* name) {
    const size_t inBytes = size_t(depth / 8);
    const size_t pixelCount = size_t(image.width) * size_t(image.height);
    if (pixelCount * inBytes > available) {
        reportTruncated(name);
        return false;
    }
    const size_t outBytes = size_t(image.bytesPerPixel);
    const size_t rowPixels = size_t(image.width);
    image.data.resize(pixelCount * outBytes);
    for (size_t k = 0; k < size_t(image.height); ++k) {
        // 16-bit rows keep the file order; deeper ones are stored bottom-up.
        const size_t row = depth == 16 ? k : size_t(image.height) - 1 - k;
        const uint8_t* source = in + k * rowPixels * inBytes;
        uint8_t* target = image.data.data() + row * rowPixels * outBytes;
        for (size_t x = 0; x < rowPixels; ++x) decodePixel(source + x * inBytes, depth, target + x * outBytes);
    }
    return true;
}

bool decodeRunLength(const uint8_t* in, size_t available, int depth, TgaImage& image, const char* name) {
    const size_t inBytes = size_t(depth / 8);
    const size_t outBytes = size_t(image.bytesPerPixel);
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
            std::printf("tga file %s: run-length packet runs past the last pixel\n", name);
            return false;
        }
        const size_t needed = run ? inBytes : count * inBytes;
        if (needed > available - pos) {
            reportTruncated(name);
            return false;
        }
        for (size_t i = 0; i < count; ++i) {
            const uint8_t* source = in + pos + (run ? 0 : i * inBytes);
            decodePixel(source, depth, image.data.data() + (written + i) * outBytes);
        }
        pos += needed;
        written += count;
    }
    return true;
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
    std::printf("Load_TGA() : width = %i height = %i\n", width, height);

    if (depth != 32 && depth != 24 && depth != 16) return nullptr;
    const size_t dataStart = headerSize + idLength;
    if (dataStart > size) {
        reportTruncated(name);
        return nullptr;
    }

    auto image = std::make_unique<TgaImage>();
    image->bytesPerPixel = depth == 32 ? 4 : 3;
    image->width = width;
    image->height = height;
    const uint8_t* data = bytes + dataStart;
    const size_t available = size - dataStart;
    const bool decoded = imageType == runLengthType ? decodeRunLength(data, available, depth, *image, name)
                                                    : decodeUncompressed(data, available, depth, *image, name);
    if (!decoded) return nullptr;
    return image;
}

std::unique_ptr<TgaImage> Load_TGA(const char* path) {
    std::vector<uint8_t> bytes;
    std::string reason;
    if (!readPictureFile(path, bytes, reason)) {
        std::printf("Error loading tga file %s.\n", path);
        return nullptr;
    }
    return parseTga(bytes.data(), bytes.size(), path);
}

namespace {

// Brings a decoded TGA to the loaders' 4-byte B,G,R,A form; 3-byte pixels
// get the alpha 255, as JPEG pixels do.
std::unique_ptr<Image> imageFromTga(std::unique_ptr<TgaImage> tga, const std::string& fileName) {
    if (!tga) {
        std::printf("tga loading failed for %s\n", fileName.c_str());
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
    std::printf("success in loading.. data: %p, width: %i height: %i\n", static_cast<void*>(image->pixels.data()),
                image->width, image->height);
    return image;
}

}  // namespace

std::unique_ptr<Image> TgaLoader::load(std::string fileName) {
    return imageFromTga(Load_TGA(fileName.c_str()), fileName);
}

std::unique_ptr<Image> TgaLoader::loadFromBytes(const uint8_t* bytes, size_t size, const std::string& name) {
    return imageFromTga(parseTga(bytes, size, name.c_str()), name);
}
