#pragma once
// MP3 decoding into the one PCM format the audio layer plays: 44100 Hz,
// stereo, signed 16-bit, interleaved. Mono and other rates are converted.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

constexpr int audioOutputRate = 44100;
constexpr int audioOutputChannels = 2;
constexpr int audioBytesPerFrame = audioOutputChannels * 2;

// Hands the decoded samples to piece as they come, a few thousand at a time
// (interleaved; count is in samples, not frames), so that a reader that
// only needs a summary never holds the whole PCM. False when the bytes hold
// no decodable MPEG audio; pieces may have come before a later failure.
bool decodeMp3Pieces(const uint8_t* data, std::size_t size,
                     const std::function<void(const int16_t* samples, std::size_t count)>& piece);
// Replaces pcm with the decoded samples. False when the bytes hold no
// decodable MPEG audio (pcm is then empty).
bool decodeMp3(const uint8_t* data, std::size_t size, std::vector<int16_t>& pcm);
// The same for a file; false also when it cannot be read.
bool decodeMp3File(const std::string& path, std::vector<int16_t>& pcm);
