#include "platform/audio_mixer.h"

#include <algorithm>
#include <cmath>

namespace {

int16_t addSaturated(int16_t a, float b) {
    const long sum = a + std::lround(b);
    return static_cast<int16_t>(std::clamp(sum, -32768L, 32767L));
}

// The volume of the next frame; advances a slide by one frame.
float stepVolume(AudioChannel& channel) {
    if (channel.slideFrames == 0) return channel.volume;
    const float progress = static_cast<float>(channel.slideDone) / static_cast<float>(channel.slideFrames);
    channel.volume = channel.slideFrom + (channel.slideTo - channel.slideFrom) * progress;
    if (++channel.slideDone >= channel.slideFrames) {
        channel.slideFrames = 0;
        channel.volume = channel.slideTo;
        if (channel.stopAfterSlide) channel.playing = false;
    }
    return channel.volume;
}

}  // namespace

void startVolumeSlide(AudioChannel& channel, float target, uint64_t frames, bool stopAtEnd) {
    channel.slideFrom = channel.volume;
    channel.slideTo = target;
    channel.slideDone = 0;
    channel.slideFrames = frames;
    channel.stopAfterSlide = stopAtEnd;
    if (frames == 0) {
        channel.volume = target;
        if (stopAtEnd) channel.playing = false;
    }
}

void mixChannel(AudioChannel& channel, int16_t* out, std::size_t frames) {
    const std::size_t length = channel.frameCount();
    for (std::size_t i = 0; i < frames && channel.playing; ++i) {
        if (channel.position >= length) {
            if (!channel.looping || length == 0) {
                channel.playing = false;
                break;
            }
            channel.position = 0;
        }
        const float gain = stepVolume(channel);
        const int16_t* frame = &channel.pcm[channel.position * 2];
        out[i * 2] = addSaturated(out[i * 2], frame[0] * gain);
        out[i * 2 + 1] = addSaturated(out[i * 2 + 1], frame[1] * gain);
        ++channel.position;
    }
}
