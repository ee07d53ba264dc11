#include "recording/wav_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
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

namespace {

// Writes all of size bytes at offset; the bytes that went when not all did.
std::size_t writeAt(int fd, const uint8_t* data, std::size_t size, off_t offset, int& failure) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pwrite(fd, data + done, size - done, offset + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            failure = n < 0 ? errno : ENOSPC;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    return done;
}

}  // namespace

bool WavFileWriter::open(const std::string& path, int sampleRate, int channelCount) {
    close();
    rate = sampleRate;
    channels = channelCount;
    frames = 0;
    failed = rate <= 0 || channels <= 0;
    reason = failed ? "unusable sound settings" : "";
    if (failed) return false;
    // A file size limit would otherwise end the process; a failed write is
    // handled instead.
    std::signal(SIGXFSZ, SIG_IGN);
    file = std::make_unique<PendingFile>();
    if (!file->create(path)) {
        reason = file->error();
        file.reset();
        failed = true;
        return false;
    }
    const auto header = wavHeader(rate, channels, 0);
    int failure = 0;
    if (writeAt(file->descriptor(), header.data(), header.size(), 0, failure) != header.size()) {
        reason = std::strerror(failure);
        failed = true;
    }
    return !failed;
}

bool WavFileWriter::append(const int16_t* samples, std::size_t frameCount) {
    if (!file || failed) return false;
    // The file is little-endian whatever the machine is.
    const std::size_t frameBytes = static_cast<std::size_t>(channels) * 2;
    std::vector<uint8_t> bytes(frameCount * frameBytes);
    for (std::size_t i = 0; i < bytes.size() / 2; ++i) put16(&bytes[i * 2], static_cast<uint16_t>(samples[i]));
    const off_t end = static_cast<off_t>(wavHeaderSize + frames * frameBytes);
    int failure = 0;
    const std::size_t written = writeAt(file->descriptor(), bytes.data(), bytes.size(), end, failure);
    frames += written / frameBytes;
    if (written != bytes.size()) {
        // Whole frames only: the data ends where the header says.
        const auto whole = static_cast<off_t>(wavHeaderSize + frames * frameBytes);
        if (::ftruncate(file->descriptor(), whole) != 0 && failure == 0) failure = errno;
        reason = std::strerror(failure);
        failed = true;
    }
    // The header follows the data, so a run killed at any moment leaves a
    // whole file; it overwrites bytes already there and so goes through on
    // a full disk.
    const auto header = wavHeader(rate, channels, frames * frameBytes);
    if (writeAt(file->descriptor(), header.data(), header.size(), 0, failure) != header.size()) {
        if (!failed) reason = std::strerror(failure);
        failed = true;
    }
    if (frames > 0 && !file->putInPlace()) {
        reason = file->error();
        failed = true;
    }
    return !failed;
}

bool WavFileWriter::close() {
    // The header is up to date after every append.
    file.reset();
    return !failed;
}
