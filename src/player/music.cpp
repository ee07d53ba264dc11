#include "player/music.h"

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdio>

#include "platform/audio_decoder.h"
#include "platform/audio_device.h"
#include "platform/report.h"

namespace {
uint32_t milliseconds(double seconds) { return static_cast<uint32_t>(std::lround(std::max(seconds, 0.0) * 1000.0)); }
}  // namespace

Music::~Music() {
    if (loaded) release();
}

void Music::load(std::string fileName) {
    loaded = true;
    if (audioGetVersion() != audioLibraryVersion) QUARN_REPORT(Output, "BASS version 1.8 was not loaded\n");
    if (!audioInit(-1, 44100)) QUARN_REPORT(Output, "Can't initialize device");
    stream = audioStreamCreateFile(fileName);
    if (stream != 0) {
        length = audioStreamGetLength(stream);
        QUARN_REPORTF(Output, "streaming file [%" PRId64 " bytes]", length);
    } else {
        QUARN_REPORT(Output, "file could not be played\n");
    }
}

void Music::play() {
    audioStart();
    if (stream != 0) {
        if (startTime > 0.0) moveTo(startTime);
        audioStreamPlay(stream, false, audioLoopFlag);
    } else {
        QUARN_REPORT(Output, "error, stream is null!\n");
    }
}

void Music::fadeOut(double seconds) {
    audioChannelSlideAttributes(stream, -1, audioFadeOutVolume, -101, milliseconds(seconds));
}

void Music::moveTo(double seconds) {
    if (stream == 0 || length <= 0) return;
    // Wrapped in frames here: a far time would overflow bytes.
    const double frames = static_cast<double>(length / audioBytesPerFrame);
    const double frame = std::fmod(std::floor(std::max(seconds, 0.0) * audioOutputRate), frames);
    audioChannelSetPosition(stream, static_cast<uint64_t>(frame) * audioBytesPerFrame);
}

void Music::seek(double seconds, double fadedSeconds, double fadeSeconds) {
    if (stream == 0) return;
    moveTo(seconds);
    if (fadedSeconds < 0.0) {
        audioChannelSlideAttributes(stream, -1, 100, -101, 0);
    } else if (fadedSeconds < fadeSeconds) {
        // Where the fade would stand by now, then the rest of it.
        const double volume = 100.0 * (1.0 - fadedSeconds / fadeSeconds);
        audioChannelSlideAttributes(stream, -1, static_cast<int>(std::lround(volume)), -101, 0);
        audioChannelSlideAttributes(stream, -1, audioFadeOutVolume, -101, milliseconds(fadeSeconds - fadedSeconds));
    } else {
        audioChannelSlideAttributes(stream, -1, audioFadeOutVolume, -101, 0);
        return;
    }
    // A finished fade stopped the stream; play it again from the new place.
    audioStreamPlay(stream, false, audioLoopFlag);
}

void Music::pause() { audioPause(); }

void Music::resume() { audioStart(); }

void Music::release() {
    audioFree();
    loaded = false;
    // The freed stream's handle must not be played or faded again.
    stream = 0;
}
