#include "runtime/music.h"

#include <cinttypes>
#include <cmath>
#include <cstdio>

#include "platform/audio_decoder.h"
#include "platform/audio_device.h"

double Music::startTime = 0.0;
uint32_t Music::stream = 0;
int64_t Music::length = 0;

namespace {
constexpr uint32_t fadeOutMilliseconds = 15000;
// Its destructor frees the library at process exit.
Music processMusic;
}  // namespace

Music::~Music() { release(); }

void Music::load(std::string fileName) {
    if (audioGetVersion() != audioLibraryVersion) std::printf("BASS version 1.8 was not loaded\n");
    if (!audioInit(-1, 44100)) std::printf("Can't initialize device");
    stream = audioStreamCreateFile(fileName);
    if (stream != 0) {
        length = audioStreamGetLength(stream);
        std::printf("streaming file [%" PRId64 " bytes]", length);
    } else {
        std::printf("file could not be played\n");
    }
}

void Music::play() {
    audioStart();
    if (stream != 0) {
        if (startTime > 0.0 && length > 0) {
            // Wrapped in frames here: a far start time would overflow bytes.
            const double frames = static_cast<double>(length / audioBytesPerFrame);
            const double frame = std::fmod(std::floor(startTime * audioOutputRate), frames);
            audioChannelSetPosition(stream, static_cast<uint64_t>(frame) * audioBytesPerFrame);
        }
        audioStreamPlay(stream, false, audioLoopFlag);
    } else {
        std::printf("error, stream is null!\n");
    }
}

void Music::fadeOut() { audioChannelSlideAttributes(stream, -1, audioFadeOutVolume, -101, fadeOutMilliseconds); }

void Music::release() {
    audioFree();
    // The freed stream's handle must not be played or faded again.
    stream = 0;
}
