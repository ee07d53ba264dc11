#pragma once
// One playing stream and how it is mixed into an output buffer. Plain data
// and free functions, so the sound can be checked without an audio device.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/uninitialized_allocator.h"

// Interleaved stereo frames. Growing the buffer leaves the new samples
// unwritten: a streamed channel fills them before they are played.
using PcmSamples = std::vector<int16_t, UninitializedAllocator<int16_t>>;

struct AudioChannel {
    PcmSamples pcm;
    std::size_t position = 0;  // next frame to play
    bool playing = false;
    bool looping = false;
    float volume = 1.0f;  // 0 silence, 1 as decoded
    // A linear volume slide in progress (slideFrames 0: none).
    float slideFrom = 1.0f;
    float slideTo = 1.0f;
    uint64_t slideFrames = 0;
    uint64_t slideDone = 0;
    bool stopAfterSlide = false;

    std::size_t frameCount() const { return pcm.size() / 2; }
};

// Slides the volume linearly from its current value to target over the
// given number of output frames; stopAtEnd stops the channel when done.
void startVolumeSlide(AudioChannel& channel, float target, uint64_t frames, bool stopAtEnd);

// Adds frames stereo frames of the channel into out, saturating, and moves
// the channel on. A looping channel wraps from its last frame straight to
// its first; a non-looping one stops at its end.
void mixChannel(AudioChannel& channel, int16_t* out, std::size_t frames);
