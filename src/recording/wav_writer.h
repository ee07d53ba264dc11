#pragma once
// WAV output of the captured sound: 16-bit PCM, written as it comes, with
// the sizes in the header brought up to date after every append: the file
// is whole whenever the run ends, also when the disk filled up on the way.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "recording/pending_file.h"

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

    // Creates the file as PATH.part, locked against a second writer, with a
    // provisional header. It takes its own name with the first sound, so a
    // run that ends before leaves an earlier file alone.
    bool open(const std::string& path, int rate, int channels);
    // Appends frames of interleaved samples, straight to the file, so that
    // a failure shows at once. False once anything failed.
    bool append(const int16_t* samples, std::size_t frames);
    // Closes. False if any write failed.
    bool close();

    // Sound frames the file holds.
    uint64_t framesWritten() const { return frames; }
    // Why the file could not be made or written.
    const std::string& error() const { return reason; }

private:
    std::unique_ptr<PendingFile> file;
    std::string reason;
    int rate = 0;
    int channels = 0;
    uint64_t frames = 0;
    bool failed = false;
};
