#include "platform/audio_decoder.h"

#include <mpg123.h>

#include "platform/file_bytes.h"

namespace {

struct HandleCloser {
    mpg123_handle* handle;
    ~HandleCloser() {
        if (handle == nullptr) return;
        mpg123_close(handle);
        mpg123_delete(handle);
    }
};

mpg123_handle* openFeedDecoder() {
    static const bool libraryReady = mpg123_init() == MPG123_OK;
    if (!libraryReady) return nullptr;
    mpg123_handle* handle = mpg123_new(nullptr, nullptr);
    if (handle == nullptr) return nullptr;
    mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    // Allowing only the output format makes libmpg123 resample and
    // duplicate mono channels itself.
    if (mpg123_format_none(handle) != MPG123_OK ||
        mpg123_format(handle, audioOutputRate, MPG123_STEREO, MPG123_ENC_SIGNED_16) != MPG123_OK ||
        mpg123_open_feed(handle) != MPG123_OK) {
        mpg123_delete(handle);
        return nullptr;
    }
    return handle;
}

}  // namespace

bool decodeMp3Pieces(const uint8_t* data, std::size_t size,
                     const std::function<void(const int16_t* samples, std::size_t count)>& piece) {
    HandleCloser decoder{openFeedDecoder()};
    if (decoder.handle == nullptr || size == 0) return false;
    if (mpg123_feed(decoder.handle, data, size) != MPG123_OK) return false;

    bool sawFormat = false;
    bool sawSamples = false;
    int16_t chunk[8192];
    for (;;) {
        size_t produced = 0;
        const int result = mpg123_read(decoder.handle, chunk, sizeof chunk, &produced);
        if (result == MPG123_NEW_FORMAT) {
            long rate = 0;
            int channels = 0, encoding = 0;
            mpg123_getformat(decoder.handle, &rate, &channels, &encoding);
            sawFormat = rate == audioOutputRate && channels == audioOutputChannels && encoding == MPG123_ENC_SIGNED_16;
            if (!sawFormat) break;
            continue;
        }
        if (produced >= sizeof(int16_t)) {
            piece(chunk, produced / sizeof(int16_t));
            sawSamples = true;
        }
        if (result == MPG123_OK) continue;
        // NEED_MORE: all the fed bytes are used up; DONE or an error: stop.
        break;
    }
    return sawFormat && sawSamples;
}

bool decodeMp3(const uint8_t* data, std::size_t size, std::vector<int16_t>& pcm) {
    pcm.clear();
    const bool decoded = decodeMp3Pieces(data, size, [&pcm](const int16_t* samples, std::size_t count) {
        pcm.insert(pcm.end(), samples, samples + count);
    });
    // Keep whole frames only.
    pcm.resize(pcm.size() - pcm.size() % audioOutputChannels);
    if (!decoded || pcm.empty()) {
        pcm.clear();
        return false;
    }
    return true;
}

bool decodeMp3File(const std::string& path, std::vector<int16_t>& pcm) {
    pcm.clear();
    std::vector<uint8_t> bytes;
    if (!readFileBytes(path, bytes)) return false;
    return decodeMp3(bytes.data(), bytes.size(), pcm);
}
