#include "wav_writer.h"

#include <algorithm>
#include <cmath>

namespace {

void put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

void put16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void putId(std::vector<uint8_t>& out, const char* id) {
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(id[i]));
}

int16_t toPcm(float s) { return int16_t(std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f)); }

}  // namespace

std::vector<uint8_t> encodeWav(const std::vector<float>& left, const std::vector<float>& right, int sampleRate) {
    const size_t frames = std::min(left.size(), right.size());
    const uint32_t dataBytes = uint32_t(frames * 4);
    std::vector<uint8_t> out;
    out.reserve(44 + dataBytes);
    putId(out, "RIFF");
    put32(out, 36 + dataBytes);
    putId(out, "WAVE");
    putId(out, "fmt ");
    put32(out, 16);
    put16(out, 1);  // PCM
    put16(out, 2);  // channels
    put32(out, uint32_t(sampleRate));
    put32(out, uint32_t(sampleRate) * 4);  // bytes per second
    put16(out, 4);                         // bytes per frame
    put16(out, 16);                        // bits per sample
    putId(out, "data");
    put32(out, dataBytes);
    for (size_t i = 0; i < frames; ++i) {
        put16(out, uint16_t(toPcm(left[i])));
        put16(out, uint16_t(toPcm(right[i])));
    }
    return out;
}
