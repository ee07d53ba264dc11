#pragma once
// Writes 16-bit PCM WAV files.
#include <cstdint>
#include <vector>

// Interleaved stereo samples in -1..1 (clamped) to a complete RIFF/WAVE file.
std::vector<uint8_t> encodeWav(const std::vector<float>& left, const std::vector<float>& right, int sampleRate);
