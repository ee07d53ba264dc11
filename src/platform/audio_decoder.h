#pragma once
// MP3 decoding into the one PCM format the audio layer plays: 44100 Hz,
// stereo, signed 16-bit, interleaved. Mono and other rates are converted.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr int audioOutputRate = 44100;
constexpr int audioOutputChannels = 2;
constexpr int audioBytesPerFrame = audioOutputChannels * 2;

// Replaces pcm with the decoded samples. False when the bytes hold no
// decodable MPEG audio (pcm is then empty).
bool decodeMp3(const uint8_t* data, std::size_t size, std::vector<int16_t>& pcm);
// The same for a file; false also when it cannot be read.
bool decodeMp3File(const std::string& path, std::vector<int16_t>& pcm);
