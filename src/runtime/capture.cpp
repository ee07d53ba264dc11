#include "runtime/capture.h"

#include <unistd.h>

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

#include "assets/png_writer.h"
#include "platform/audio_decoder.h"
#include "platform/audio_device.h"
#include "platform/framebuffer.h"
#include "platform/player_context.h"
#include "runtime/benchmark.h"

namespace {

void readBackBuffer(uint8_t* rgba, int width, int height) {
    const std::vector<uint8_t> read = readFramebufferRGBA(0, 0, width, height);
    const std::size_t size = static_cast<std::size_t>(width) * height * 4;
    if (read.size() == size) {
        std::memcpy(rgba, read.data(), size);
    } else {
        std::memset(rgba, 0, size);  // no context: black rather than garbage
    }
}

}  // namespace

std::string captureFrameName(int frame) {
    char name[32];
    std::snprintf(name, sizeof name, "frame_%06d.png", frame);
    return name;
}

int64_t captureAudioFramesBefore(int frame, int fps, int rate) {
    // From the frame number each time, so that rates like 44100 / 24 do not
    // drift by rounding.
    return static_cast<int64_t>(frame) * rate / fps;
}

CaptureSession::CaptureSession(std::string directory, int fps, std::FILE* progress)
    : directory(std::move(directory)), fps(fps), progress(progress) {}

bool CaptureSession::begin() {
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    if (error || !std::filesystem::is_directory(directory)) {
        std::fprintf(stderr, "capture: cannot make the directory '%s'\n", directory.c_str());
        return false;
    }
    const std::string wavPath = directory + "/audio.wav";
    if (!wav.open(wavPath, audioOutputRate, audioOutputChannels)) {
        std::fprintf(stderr, "capture: cannot write '%s'\n", wavPath.c_str());
        return false;
    }
    pixels.resize(static_cast<std::size_t>(captureWidth) * captureHeight * 4);
    sound.resize(static_cast<std::size_t>(audioOutputRate / fps + 1) * audioOutputChannels);
    startSeconds = steadySeconds();
    return true;
}

bool CaptureSession::frameDrawn(int frame, float t) {
    if (failed || finished) return false;
    const PlayerContext& context = playerContext();
    (context.readFrame ? context.readFrame : readBackBuffer)(pixels.data(), captureWidth, captureHeight);
    const std::string path = directory + "/" + captureFrameName(frame);
    const RgbaPicture picture{pixels.data(), captureWidth, captureHeight, true};
    if (!writePngFile(path, picture)) {
        endProgressLine();
        std::fprintf(stderr, "capture: cannot write '%s'\n", path.c_str());
        failed = true;
        return false;
    }
    const int64_t soundFrames = captureAudioFramesBefore(frame + 1, fps, audioOutputRate) -
                                captureAudioFramesBefore(frame, fps, audioOutputRate);
    (context.renderAudio ? context.renderAudio : audioRenderOffline)(sound.data(),
                                                                     static_cast<std::size_t>(soundFrames));
    if (!wav.append(sound.data(), static_cast<std::size_t>(soundFrames))) {
        endProgressLine();
        std::fprintf(stderr, "capture: cannot write '%s/audio.wav'\n", directory.c_str());
        failed = true;
        return false;
    }
    frames = frame + 1;
    if (progress && frames % fps == 0) {
        const double elapsed = steadySeconds() - startSeconds;
        const double rate = elapsed > 0.0 ? frames / elapsed : 0.0;
        // On a terminal the line is rewritten in place; in a log each is kept.
        progressLineOpen = isatty(fileno(progress)) != 0;
        const char end = progressLineOpen ? '\r' : '\n';
        std::fprintf(progress, "capture: frame %d, demo time %.3f s, %.1f frames/s%c", frames, t, rate,
                     end);
        std::fflush(progress);
    }
    return true;
}

bool CaptureSession::finish() {
    if (finished) return !failed;
    finished = true;
    endProgressLine();
    if (!wav.close()) {
        std::fprintf(stderr, "capture: cannot complete '%s/audio.wav'\n", directory.c_str());
        failed = true;
    }
    if (progress) {
        std::fprintf(progress, "capture: %d frames at %d per second and audio.wav (%.3f s) in %s\n",
                     frames, fps, static_cast<double>(wav.framesWritten()) / audioOutputRate, directory.c_str());
    }
    return !failed;
}

void CaptureSession::endProgressLine() {
    if (!progressLineOpen) return;
    std::fputc('\n', progress);
    progressLineOpen = false;
}
