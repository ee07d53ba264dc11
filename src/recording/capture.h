#pragma once
// The capture run: every frame and the music as it is heard, mixed offline
// in step with the frames, either as DIR/frame_000000.png, ... and
// DIR/audio.wav, or encoded into one video file.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/player_imports.h"
#include "player/demo.h"
#include "player/frame_loop.h"
#include "recording/video_writer.h"
#include "recording/wav_writer.h"

constexpr int captureWidth = 640;
constexpr int captureHeight = 480;

// What the argument of --capture asks for: a directory of pictures (one
// that exists, a name ending in '/' or without an extension), a video file
// (.mp4, .mkv) or, for any other extension, something unknown.
enum class CaptureKind { frames, video, unknown };
CaptureKind captureKindOf(const std::string& target);

// The name of frame number frame inside the capture directory.
std::string captureFrameName(int frame);
// Sound frames (at rate) that belong to video frames 0 to frame - 1.
int64_t captureAudioFramesBefore(int frame, int fps, int rate);

class CaptureSession : public FrameObserver {
public:
    // The frames come from the imports' readFrame and the sound from their
    // renderAudio (the back buffer and the offline mix). With showProgress,
    // a progress line is reported as frames are written and a summary at
    // the end. startTime is the demo time of the
    // first frame and endTime the demo's end; they bound the length of a
    // video, which ends with the demo.
    CaptureSession(const PlayerImports& imports, std::string target, int fps, bool showProgress = true,
                   double startTime = 0.0, double endTime = demoEndTime);

    // Creates the directory and audio.wav, or the video file. Says why not
    // on stderr.
    bool begin();
    // The size of every frame, before begin; 640x480 unless set.
    void setFrameSize(int width, int height) {
        frameWidth = width;
        frameHeight = height;
    }
    // Writes the frame's picture and its share of the sound. False when a
    // file cannot be written: the run then stops.
    bool frameDrawn(int frame, float t) override;
    // Completes audio.wav or the video. False
    // when anything failed along the way. Harmless when repeated.
    bool finish();

    int framesWritten() const { return frames; }

private:
    bool beginFolder();
    bool writeFolderFrame(int frame, std::size_t soundFrames);
    bool finishFolder();
    bool finishVideo();
    void printProgress(float t);

    PlayerImports imports;
    std::string directory;  // or the video file
    int fps;
    int frameWidth = captureWidth;
    int frameHeight = captureHeight;
    bool showProgress;
    double startTime;
    double endTime;
    WavFileWriter wav;
    std::unique_ptr<VideoFileWriter> video;
    std::vector<uint8_t> pixels;
    std::vector<int16_t> sound;
    int frames = 0;
    bool failed = false;
    bool finished = false;
    double startSeconds = 0.0;
};
