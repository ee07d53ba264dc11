#pragma once
// WAV output of the captured sound: 16-bit PCM, written as it comes; the
// sizes in the header are filled in when the file is closed.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

constexpr std::size_t wavHeaderSize = 44;

// The RIFF/WAVE header for dataBytes of 16-bit PCM. Sizes beyond what
// the format can hold are clamped to its largest value.
std::array<uint8_t, wavHeaderSize> wavHeader(int rate, int channels, uint64_t dataBytes);

class WavFileWriter {
public:
    WavFileWriter() = default;
    ~WavFileWriter();  // closes an open file
    WavFileWriter(const WavFileWriter&) = delete;
    WavFileWriter& operator=(const WavFileWriter&) = delete;

    // Creates (truncates) the file and writes a provisional header.
    bool open(const std::string& path, int rate, int channels);
    // Appends frames of interleaved samples. False once anything failed.
    bool append(const int16_t* samples, std::size_t frames);
    // Writes the final header and closes. False if any write failed.
    bool close();

    uint64_t framesWritten() const { return frames; }

private:
    std::FILE* file = nullptr;
    int rate = 0;
    int channels = 0;
    uint64_t frames = 0;
    bool failed = false;
};
