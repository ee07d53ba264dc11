#pragma once
// Test pictures made on the spot: TGA bytes, JPEGs encoded with libjpeg, and
// a scratch working directory to write them into.
#include <cstdint>
#include <string>
#include <vector>

// An 18-byte TGA header followed by idLength bytes of ID field.
std::vector<uint8_t> tgaHeader(int imageType, int width, int height, int depth, int idLength = 0);

// The header plus pixel bytes in file order.
std::vector<uint8_t> tgaFile(int imageType, int width, int height, int depth, const std::vector<uint8_t>& pixelBytes);

struct JpegOptions {
    int components = 3;     // 3 RGB, 1 greyscale, 4 CMYK (stored as given, Adobe marker written)
    int quality = 100;
    bool progressive = false;
};

// Encodes width * height pixels of the given components with libjpeg.
std::vector<uint8_t> encodeJpeg(int width, int height, const std::vector<uint8_t>& samples,
                                const JpegOptions& options = {});

// A solid width * height RGB picture.
std::vector<uint8_t> solidRgb(int width, int height, uint8_t red, uint8_t green, uint8_t blue);

void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes);

// Makes a fresh directory the working directory for its lifetime, so tests
// can use plain relative names; removes it afterwards.
class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

private:
    std::string previous;
    std::string path;
};
