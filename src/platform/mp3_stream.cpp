#include "platform/mp3_stream.h"

#include <mpg123.h>

#include <algorithm>
#include <cstring>

#include "platform/audio_decoder.h"

namespace {

// Frames asked of the decoder per read: large enough to keep calls few,
// small enough that a call returns quickly inside the audio callback.
constexpr std::size_t framesPerRead = 8192;

struct MemorySource {
    const uint8_t* data;
    std::size_t size;
    std::size_t position;
};

mpg123_ssize_t readMemory(void* handle, void* buffer, size_t count) {
    auto* source = static_cast<MemorySource*>(handle);
    const std::size_t n = std::min(count, source->size - source->position);
    std::memcpy(buffer, source->data + source->position, n);
    source->position += n;
    return static_cast<mpg123_ssize_t>(n);
}

off_t seekMemory(void* handle, off_t offset, int whence) {
    auto* source = static_cast<MemorySource*>(handle);
    const off_t base = whence == SEEK_SET   ? 0
                       : whence == SEEK_CUR ? static_cast<off_t>(source->position)
                                            : static_cast<off_t>(source->size);
    const off_t target = base + offset;
    if (target < 0 || target > static_cast<off_t>(source->size)) return -1;
    source->position = static_cast<std::size_t>(target);
    return target;
}

bool libraryReady() {
    static const bool ready = mpg123_init() == MPG123_OK;
    return ready;
}

// The output format decodeMp3 asks for; libmpg123 converts to it.
bool restrictFormat(mpg123_handle* handle) {
    mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    return mpg123_format_none(handle) == MPG123_OK &&
           mpg123_format(handle, audioOutputRate, MPG123_STEREO, MPG123_ENC_SIGNED_16) == MPG123_OK;
}

void closeDecoder(mpg123_handle* handle) {
    if (handle == nullptr) return;
    mpg123_close(handle);
    mpg123_delete(handle);
}

// Opens a decoder over the bytes in memory, seekable, so that the frame
// headers can be scanned for the length before decoding starts.
mpg123_handle* openMemoryDecoder(MemorySource& source) {
    if (!libraryReady() || source.data == nullptr || source.size == 0) return nullptr;
    mpg123_handle* handle = mpg123_new(nullptr, nullptr);
    if (handle == nullptr) return nullptr;
    if (!restrictFormat(handle) || mpg123_replace_reader_handle(handle, readMemory, seekMemory, nullptr) != MPG123_OK ||
        mpg123_open_handle(handle, &source) != MPG123_OK) {
        closeDecoder(handle);
        return nullptr;
    }
    return handle;
}

// The decoded length in frames after a scan of every frame header; 0 when
// it cannot be told. Leaves the decoder at the start of the stream.
std::size_t scannedLength(mpg123_handle* handle) {
    if (mpg123_scan(handle) != MPG123_OK) return 0;
    const off_t length = mpg123_length(handle);
    return length > 0 ? static_cast<std::size_t>(length) : 0;
}

}  // namespace

std::size_t scanMp3FrameCount(const uint8_t* data, std::size_t size) {
    MemorySource source{data, size, 0};
    mpg123_handle* handle = openMemoryDecoder(source);
    if (handle == nullptr) return 0;
    const std::size_t frames = scannedLength(handle);
    closeDecoder(handle);
    return frames;
}

Mp3Stream::~Mp3Stream() { closeDecoder(decoder); }

bool Mp3Stream::open(const uint8_t* data, std::size_t size) {
    closeDecoder(decoder);
    decoder = nullptr;
    decoded = 0;
    ended = false;
    totalFrames = scanMp3FrameCount(data, size);
    if (totalFrames == 0) return false;
    // Decoded from a feed, exactly as decodeMp3 does: a seekable decoder
    // trims the stream's ends differently, and the sound must not change.
    decoder = mpg123_new(nullptr, nullptr);
    if (decoder == nullptr) return false;
    if (!restrictFormat(decoder) || mpg123_open_feed(decoder) != MPG123_OK ||
        mpg123_feed(decoder, data, size) != MPG123_OK) {
        closeDecoder(decoder);
        decoder = nullptr;
        return false;
    }
    return true;
}

std::size_t Mp3Stream::decodeUntil(int16_t* pcm, std::size_t frames) {
    frames = std::min(frames, totalFrames);
    while (decoded < frames && !ended && decoder != nullptr) {
        const std::size_t room = std::min(totalFrames - decoded, framesPerRead);
        size_t produced = 0;
        const int result = mpg123_read(decoder, reinterpret_cast<unsigned char*>(pcm + decoded * 2),
                                       room * audioBytesPerFrame, &produced);
        decoded += produced / audioBytesPerFrame;
        if (result == MPG123_NEW_FORMAT) {
            long rate = 0;
            int channels = 0, encoding = 0;
            mpg123_getformat(decoder, &rate, &channels, &encoding);
            if (rate != audioOutputRate || channels != audioOutputChannels || encoding != MPG123_ENC_SIGNED_16)
                ended = true;
            continue;
        }
        // NEED_MORE: every fed byte is used up; DONE or an error: stop.
        if (result != MPG123_OK) ended = true;
    }
    if (decoded >= totalFrames) ended = true;
    return decoded;
}
