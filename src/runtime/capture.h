#pragma once
// The capture run: every frame as DIR/frame_000000.png, ..., and the music
// as it is heard, mixed offline in step with the frames, as DIR/audio.wav.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "assets/wav_writer.h"
#include "runtime/frame_loop.h"

constexpr int captureWidth = 640;
constexpr int captureHeight = 480;

// The name of frame number frame inside the capture directory.
std::string captureFrameName(int frame);
// Sound frames (at rate) that belong to video frames 0 to frame - 1.
int64_t captureAudioFramesBefore(int frame, int fps, int rate);

class CaptureSession : public FrameObserver {
public:
    // The frames come from the player context's readFrame and the sound
    // from its renderAudio (by default the back buffer and the offline mix).
    // The progress line goes to progress; null for none.
    CaptureSession(std::string directory, int fps, std::FILE* progress = stderr);

    // Creates the directory and audio.wav. Says why not on stderr.
    bool begin();
    // Writes the frame's picture and its share of the sound. False (with
    // a message) when a file cannot be written: the run then stops.
    bool frameDrawn(int frame, float t) override;
    // Completes audio.wav and ends the progress line. False when anything
    // failed along the way. Harmless when repeated.
    bool finish();

    int framesWritten() const { return frames; }

private:
    // A progress line rewritten in place needs its line end before others.
    void endProgressLine();

    std::string directory;
    int fps;
    std::FILE* progress;
    WavFileWriter wav;
    std::vector<uint8_t> pixels;
    std::vector<int16_t> sound;
    int frames = 0;
    bool failed = false;
    bool finished = false;
    bool progressLineOpen = false;
    double startSeconds = 0.0;
};
