#pragma once
// Video output of a capture: H.264 pictures and AAC sound in one MP4 or
// Matroska file. Encoding and writing run on a thread of their own, so the
// caller only hands frames over. The file is written as a stream of pieces
// (MP4 fragments, Matroska clusters) about a second long, so that it plays
// up to its last whole piece however the run ends, a kill included. It
// takes the target's name with its first piece of pictures, never before;
// when it closes, it is copied once more with the whole index at the front,
// so it plays while it downloads and seeks at once.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

enum class VideoContainer { none, mp4, matroska };
// By the name's extension: .mp4 or .mkv in any case; none for all else.
VideoContainer videoContainerFor(const std::string& path);

struct VideoSettings {
    int width = 640;
    int height = 480;
    int fps = 60;           // constant frame rate
    int audioRate = 44100;  // 16-bit interleaved sound at this rate
    int audioChannels = 2;
    // The most frames the file will get. Frames beyond it are refused.
    int64_t maxFrames = 0;
    int quality = 18;  // x264's constant rate factor
    // x264's "superfast" with the macroblock tree of "veryfast" kept: on
    // the demo's busiest stretch it takes 2.5 times less CPU than
    // "veryfast" for a sixth more bytes at the same quality. The capture
    // shares two cores with the software rasterizer, so CPU is what counts.
    std::string preset = "superfast";
    bool macroblockTree = true;
};

class VideoFileWriter {
public:
    VideoFileWriter();
    ~VideoFileWriter();  // closes an open file
    VideoFileWriter(const VideoFileWriter&) = delete;
    VideoFileWriter& operator=(const VideoFileWriter&) = delete;

    // Creates the file (as PATH.part, locked), its encoders and the encoder
    // thread. False with error() set when the name, the file or an encoder
    // cannot be had, and busy() when another capture is writing the file.
    bool open(const std::string& path, const VideoSettings& settings);
    // Hands over one picture (width * height RGBA bytes, rows bottom first)
    // and the sound frames that play during it; waits only while the
    // encoder is several frames behind. False once writing has stopped.
    bool append(const uint8_t* rgba, const int16_t* sound, std::size_t soundFrames);
    // The same with the picture written by fill straight into the queue,
    // sparing a copy of every frame.
    bool append(const std::function<void(uint8_t* rgba)>& fill, const int16_t* sound, std::size_t soundFrames);
    // Encodes what is left and completes the file. False when anything
    // failed; what was written before a failure stays a playable file. With
    // no picture written, the file that was there before is left alone.
    bool close();

    // Why writing stopped early (a full disk or file size limit, a failed
    // encoder or write, too many frames), for a message.
    std::string error() const;
    bool busy() const;
    // After close: why the file was left as it was streamed, without the
    // index at the front (no room for the copy); empty when all went well.
    std::string notice() const;
    // Bytes of the file so far, and the pictures and sound it holds.
    uint64_t fileBytes() const;
    int64_t framesInFile() const;
    double soundSecondsInFile() const;

private:
    struct Encoder;
    std::unique_ptr<Encoder> encoder;
};
