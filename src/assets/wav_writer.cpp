#include "assets/wav_writer.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace {

void put16(uint8_t* at, uint32_t value) {
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
}

void put32(uint8_t* at, uint32_t value) {
    put16(at, value & 0xFFFF);
    put16(at + 2, value >> 16);
}

}  // namespace

std::array<uint8_t, wavHeaderSize> wavHeader(int rate, int channels, uint64_t dataBytes) {
    constexpr uint64_t largest = std::numeric_limits<uint32_t>::max() - (wavHeaderSize - 8);
    const uint32_t data = static_cast<uint32_t>(dataBytes < largest ? dataBytes : largest);
    const uint32_t blockAlign = static_cast<uint32_t>(channels) * 2;
    std::array<uint8_t, wavHeaderSize> header{};
    uint8_t* h = header.data();
    std::copy_n("RIFF", 4, h);
    put32(h + 4, data + static_cast<uint32_t>(wavHeaderSize - 8));
    std::copy_n("WAVEfmt ", 8, h + 8);
    put32(h + 16, 16);  // size of the format chunk
    put16(h + 20, 1);   // PCM
    put16(h + 22, static_cast<uint32_t>(channels));
    put32(h + 24, static_cast<uint32_t>(rate));
    put32(h + 28, static_cast<uint32_t>(rate) * blockAlign);
    put16(h + 32, blockAlign);
    put16(h + 34, 16);  // bits per sample
    std::copy_n("data", 4, h + 36);
    put32(h + 40, data);
    return header;
}

WavFileWriter::~WavFileWriter() { close(); }

bool WavFileWriter::open(const std::string& path, int sampleRate, int channelCount) {
    close();
    rate = sampleRate;
    channels = channelCount;
    frames = 0;
    failed = rate <= 0 || channels <= 0;
    if (failed) return false;
    file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        failed = true;
        return false;
    }
    const auto header = wavHeader(rate, channels, 0);
    failed = std::fwrite(header.data(), 1, header.size(), file) != header.size();
    return !failed;
}

bool WavFileWriter::append(const int16_t* samples, std::size_t frameCount) {
    if (file == nullptr || failed) return false;
    // The file is little-endian whatever the machine is.
    std::vector<uint8_t> bytes(frameCount * static_cast<std::size_t>(channels) * 2);
    for (std::size_t i = 0; i < bytes.size() / 2; ++i) put16(&bytes[i * 2], static_cast<uint16_t>(samples[i]));
    if (std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
        failed = true;
        return false;
    }
    frames += frameCount;
    return true;
}

bool WavFileWriter::close() {
    if (file == nullptr) return !failed;
    const auto header = wavHeader(rate, channels, frames * static_cast<uint64_t>(channels) * 2);
    if (std::fseek(file, 0, SEEK_SET) != 0 || std::fwrite(header.data(), 1, header.size(), file) != header.size())
        failed = true;
    if (std::fclose(file) != 0) failed = true;
    file = nullptr;
    return !failed;
}
