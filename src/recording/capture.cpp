#include "recording/capture.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

#include "platform/audio_decoder.h"
#include "platform/audio_device.h"
#include "platform/report.h"
#include "player/demo.h"
#include "recording/benchmark.h"
#include "recording/png_writer.h"

CaptureKind captureKindOf(const std::string& target) {
    if (!target.empty() && target.back() == '/') return CaptureKind::frames;
    std::error_code error;
    if (std::filesystem::is_directory(target, error)) return CaptureKind::frames;
    if (videoContainerFor(target) != VideoContainer::none) return CaptureKind::video;
    const std::string name = std::filesystem::path(target).filename().string();
    const std::size_t dot = name.rfind('.');
    const bool hasExtension = dot != std::string::npos && dot > 0 && dot + 1 < name.size();
    return hasExtension ? CaptureKind::unknown : CaptureKind::frames;
}

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

CaptureSession::CaptureSession(const PlayerImports& imports, std::string target, int fps, bool showProgress,
                               double startTime, double endTime)
    : imports(imports),
      directory(std::move(target)),
      fps(fps),
      showProgress(showProgress),
      startTime(startTime),
      endTime(endTime) {}

bool CaptureSession::begin() {
    sound.resize(static_cast<std::size_t>(audioOutputRate / fps + 1) * audioOutputChannels);
    pixels.resize(static_cast<std::size_t>(frameWidth) * frameHeight * 4);
    startSeconds = steadySeconds();
    switch (captureKindOf(directory)) {
    case CaptureKind::frames:
        return beginFolder();
    case CaptureKind::unknown:
        QUARN_REPORTF(Error, "capture: '%s' is not a directory and does not end in .mp4 or .mkv\n", directory.c_str());
        return false;
    case CaptureKind::video:
        break;
    }
    VideoSettings settings;
    settings.width = frameWidth;
    settings.height = frameHeight;
    settings.fps = fps;
    settings.audioRate = audioOutputRate;
    settings.audioChannels = audioOutputChannels;
    // The demo ends on the first frame after its end time.
    const double seconds = std::max(0.0, endTime - startTime);
    settings.maxFrames = static_cast<int64_t>(seconds * fps) + 2;
    video = std::make_unique<VideoFileWriter>();
    if (!video->open(directory, settings)) {
        QUARN_REPORTF(Error, "capture: cannot write '%s' (%s)\n", directory.c_str(), video->error().c_str());
        return false;
    }
    return true;
}

bool CaptureSession::beginFolder() {
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    if (error || !std::filesystem::is_directory(directory)) {
        QUARN_REPORTF(Error, "capture: cannot make the directory '%s'\n", directory.c_str());
        return false;
    }
    // The earlier audio.wav stays until the first new frame is written.
    const std::string wavPath = directory + "/audio.wav";
    if (!wav.open(wavPath, audioOutputRate, audioOutputChannels)) {
        QUARN_REPORTF(Error, "capture: cannot write '%s' (%s)\n", wavPath.c_str(), wav.error().c_str());
        return false;
    }
    return true;
}

bool CaptureSession::frameDrawn(int frame, float t) {
    if (failed || finished) return false;
    const auto readFrame = imports.readFrame;
    const int64_t soundFrames = captureAudioFramesBefore(frame + 1, fps, audioOutputRate) -
                                captureAudioFramesBefore(frame, fps, audioOutputRate);
    imports.renderAudio(sound.data(), static_cast<std::size_t>(soundFrames));
    if (video) {
        // Read straight into the encoder's queue. A failure is told when the
        // file is complete, with what it holds.
        const auto read = [&](uint8_t* rgba) { readFrame(rgba, frameWidth, frameHeight); };
        if (!video->append(read, sound.data(), static_cast<std::size_t>(soundFrames))) {
            failed = true;
            return false;
        }
    } else {
        readFrame(pixels.data(), frameWidth, frameHeight);
        if (!writeFolderFrame(frame, static_cast<std::size_t>(soundFrames))) return false;
    }
    frames = frame + 1;
    if (showProgress && frames % fps == 0) printProgress(t);
    return true;
}

bool CaptureSession::writeFolderFrame(int frame, std::size_t soundFrames) {
    const std::string path = directory + "/" + captureFrameName(frame);
    const RgbaPicture picture{pixels.data(), frameWidth, frameHeight, true};
    if (!writePngFile(path, picture)) {
        QUARN_REPORTF(Error, "capture: cannot write '%s'\n", path.c_str());
        failed = true;
        return false;
    }
    if (!wav.append(sound.data(), soundFrames)) {
        QUARN_REPORTF(Error, "capture: cannot write '%s/audio.wav' (%s); it holds %.3f s\n", directory.c_str(),
                      wav.error().c_str(), static_cast<double>(wav.framesWritten()) / audioOutputRate);
        failed = true;
        return false;
    }
    return true;
}

void CaptureSession::printProgress(float t) {
    const double elapsed = steadySeconds() - startSeconds;
    const double rate = elapsed > 0.0 ? frames / elapsed : 0.0;
    if (video) {
        QUARN_REPORTF(Progress, "capture: frame %d, demo time %.3f s, %.1f frames/s, %.1f MB", frames, t, rate,
                      static_cast<double>(video->fileBytes()) / 1e6);
    } else {
        QUARN_REPORTF(Progress, "capture: frame %d, demo time %.3f s, %.1f frames/s", frames, t, rate);
    }
}

bool CaptureSession::finish() {
    if (finished) return !failed;
    finished = true;
    return video ? finishVideo() : finishFolder();
}

bool CaptureSession::finishVideo() {
    if (!video->close()) {
        QUARN_REPORTF(Error, "capture: cannot write '%s' (%s); it ends after %lld frames\n", directory.c_str(),
                      video->error().c_str(), static_cast<long long>(video->framesInFile()));
        failed = true;
    }
    const std::string notice = video->notice();
    if (!notice.empty())
        QUARN_REPORTF(Error, "capture: '%s' plays as written, without its index at the front (%s)\n", directory.c_str(),
                      notice.c_str());
    if (showProgress) {
        QUARN_REPORTF(Error, "capture: %lld frames at %d per second with sound (%.3f s) in %s, %.1f MB\n",
                      static_cast<long long>(video->framesInFile()), fps, video->soundSecondsInFile(),
                      directory.c_str(), static_cast<double>(video->fileBytes()) / 1e6);
    }
    return !failed;
}

bool CaptureSession::finishFolder() {
    if (!wav.close()) {
        QUARN_REPORTF(Error, "capture: cannot complete '%s/audio.wav'\n", directory.c_str());
        failed = true;
    }
    if (showProgress) {
        QUARN_REPORTF(Error, "capture: %d frames at %d per second and audio.wav (%.3f s) in %s\n", frames, fps,
                      static_cast<double>(wav.framesWritten()) / audioOutputRate, directory.c_str());
    }
    return !failed;
}
