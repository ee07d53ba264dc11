#include "support/test_audio.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

void putLittleEndian(std::ofstream& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.put(static_cast<char>((value >> (8 * i)) & 0xff));
}

void writeWav(const std::vector<int16_t>& samples, int channels, int rate, const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    out.write("RIFF", 4);
    putLittleEndian(out, 36 + dataBytes, 4);
    out.write("WAVEfmt ", 8);
    putLittleEndian(out, 16, 4);
    putLittleEndian(out, 1, 2);  // PCM
    putLittleEndian(out, static_cast<uint32_t>(channels), 2);
    putLittleEndian(out, static_cast<uint32_t>(rate), 4);
    putLittleEndian(out, static_cast<uint32_t>(rate * channels * 2), 4);
    putLittleEndian(out, static_cast<uint32_t>(channels * 2), 2);
    putLittleEndian(out, 16, 2);
    out.write("data", 4);
    putLittleEndian(out, dataBytes, 4);
    for (int16_t sample : samples) putLittleEndian(out, static_cast<uint16_t>(sample), 2);
}

}  // namespace

std::vector<int16_t> sineSamples(int frames, int channels, int rate, double frequency, int amplitude) {
    std::vector<int16_t> samples;
    samples.reserve(static_cast<std::size_t>(frames * channels));
    for (int i = 0; i < frames; ++i) {
        const double value = amplitude * std::sin(2.0 * M_PI * frequency * i / rate);
        for (int c = 0; c < channels; ++c) samples.push_back(static_cast<int16_t>(std::lround(value)));
    }
    return samples;
}

bool encodeMp3(const std::vector<int16_t>& samples, int channels, int rate, const std::string& path) {
    const std::string wavPath = path + ".wav";
    writeWav(samples, channels, rate, wavPath);
    const std::string command = "lame --quiet -b 128 '" + wavPath + "' '" + path + "' 2>/dev/null";
    const bool encoded = std::system(command.c_str()) == 0 && std::filesystem::exists(path);
    std::filesystem::remove(wavPath);
    return encoded;
}

// Starting SDL's audio leaves a one-off allocation of libdbus behind that
// nothing can free; keep it out of the leak reports of sanitised runs.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }
