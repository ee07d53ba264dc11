#pragma once
// An MP3 decoded piece by piece, in the audio layer's PCM format (see
// audio_decoder.h), with its full decoded length known up front from a scan
// of the frame headers. Lets playback start at once instead of after the
// whole file has been decoded. The same decoder settings as decodeMp3, so
// the samples and their count are the same.
#include <cstddef>
#include <cstdint>

struct mpg123_handle_struct;

class Mp3Stream {
public:
    Mp3Stream() = default;
    ~Mp3Stream();
    Mp3Stream(const Mp3Stream&) = delete;
    Mp3Stream& operator=(const Mp3Stream&) = delete;

    // Scans the file's bytes and hands the decoder its own copy. False when
    // they hold no decodable MPEG audio or the length cannot be told.
    bool open(const uint8_t* data, std::size_t size);
    // Stereo frames the whole stream decodes to.
    std::size_t frameCount() const { return totalFrames; }
    // Frames decoded so far.
    std::size_t decodedFrames() const { return decoded; }
    // Decodes on into pcm (frameCount() frames long) until at least frames
    // frames are there or the stream ends; returns the frames decoded. When
    // the decoder ends short of the scanned length, finished() turns true
    // and decodedFrames() is the real length. Allocates nothing.
    std::size_t decodeUntil(int16_t* pcm, std::size_t frames);
    bool finished() const { return ended; }
    bool isOpen() const { return decoder != nullptr; }

private:
    mpg123_handle_struct* decoder = nullptr;
    std::size_t totalFrames = 0;
    std::size_t decoded = 0;
    bool ended = false;
};

// Stereo frames the bytes decode to, from a scan of the frame headers (with
// the encoder's delay and padding trimmed, as decoding does); 0 when that
// cannot be told.
std::size_t scanMp3FrameCount(const uint8_t* data, std::size_t size);
