#pragma once
// Test sounds made on the spot: synthesised samples, encoded to MP3 by the
// lame command-line encoder.
#include <cstdint>
#include <string>
#include <vector>

#include "support/scratch_directory.h"

// Interleaved 16-bit samples of a sine tone, the same in every channel.
std::vector<int16_t> sineSamples(int frames, int channels, int rate, double frequency, int amplitude);
// Writes the samples as an MP3 file; false when lame is missing or fails.
bool encodeMp3(const std::vector<int16_t>& samples, int channels, int rate, const std::string& path);
