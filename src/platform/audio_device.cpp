#include "platform/audio_device.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "platform/audio_decoder.h"
#include "platform/audio_mixer.h"
#include "platform/file_bytes.h"
#include "platform/mp3_stream.h"

namespace {

struct Stream {
    uint32_t handle;
    AudioChannel channel;
    // Fills channel.pcm ahead of playback; closed for streams decoded whole.
    Mp3Stream source;
};

struct AudioSystem {
    bool subsystemStarted = false;
    bool offline = false;
    SDL_AudioDeviceID device = 0;
    uint32_t nextHandle = 1;
    std::vector<std::unique_ptr<Stream>> streams;

    AudioSystem() = default;
    // The audio thread must be gone before the streams it reads.
    ~AudioSystem() {
        if (device != 0) SDL_CloseAudioDevice(device);
    }
    AudioSystem(const AudioSystem&) = delete;
    AudioSystem& operator=(const AudioSystem&) = delete;
};

AudioSystem& audioSystem() {
    static AudioSystem system;
    return system;
}

// Keeps the audio thread out while the stream list or a channel changes.
class AudioLock {
public:
    AudioLock() : device(audioSystem().device) {
        if (device != 0) SDL_LockAudioDevice(device);
    }
    ~AudioLock() {
        if (device != 0) SDL_UnlockAudioDevice(device);
    }
    AudioLock(const AudioLock&) = delete;
    AudioLock& operator=(const AudioLock&) = delete;

private:
    SDL_AudioDeviceID device;
};

// What a seek decodes past its target on the caller's thread: more than
// any device period, so the callbacks after a seek find their samples
// decoded and only go on streaming once well past it.
constexpr std::size_t seekLeadFrames = audioOutputRate;

// Decodes what the next frames of playback from a position need. A looping
// channel wraps to its start, which is decoded already. Runs on the audio
// thread (or in the offline mix of a capture), and for a seek on the
// caller's thread while the channel is held.
void decodeAhead(Stream& stream, std::size_t from, std::size_t frames) {
    AudioChannel& channel = stream.channel;
    if (!stream.source.isOpen() || stream.source.finished()) return;
    stream.source.decodeUntil(channel.pcm.data(), from + frames);
    // A decoder that ends short of the scanned length sets the real length;
    // shrinking keeps the buffer, so nothing is allocated here.
    if (stream.source.finished() && stream.source.decodedFrames() < channel.frameCount())
        channel.pcm.resize(stream.source.decodedFrames() * 2);
}

// The device's mix and the offline one are the same code.
void mixStreams(int16_t* out, std::size_t frames) {
    std::memset(out, 0, frames * audioBytesPerFrame);
    for (auto& stream : audioSystem().streams) {
        if (!stream->channel.playing) continue;
        decodeAhead(*stream, stream->channel.position, frames);
        mixChannel(stream->channel, out, frames);
    }
}

void fillOutput(void* /*userdata*/, Uint8* bytes, int length) {
    mixStreams(reinterpret_cast<int16_t*>(bytes), static_cast<std::size_t>(length) / audioBytesPerFrame);
}

Stream* findStream(uint32_t handle) {
    if (handle == 0) return nullptr;
    for (auto& stream : audioSystem().streams) {
        if (stream->handle == handle) return stream.get();
    }
    return nullptr;
}

AudioChannel* findChannel(uint32_t handle) {
    Stream* stream = findStream(handle);
    return stream != nullptr ? &stream->channel : nullptr;
}

}  // namespace

uint32_t audioGetVersion() { return audioLibraryVersion; }

bool audioInit(int device, int frequency) {
    AudioSystem& system = audioSystem();
    if (system.device != 0 || system.offline) return true;
    if (!system.subsystemStarted) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
        system.subsystemStarted = true;
    }
    const char* deviceName = nullptr;
    if (device >= 1) {
        deviceName = SDL_GetAudioDeviceName(device - 1, 0);
        if (deviceName == nullptr) return false;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = frequency;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = audioOutputChannels;
    wanted.samples = 2048;
    wanted.callback = fillOutput;
    SDL_AudioSpec obtained{};
    // No allowed changes: SDL converts to whatever the hardware wants, so
    // the callback always sees the decoded format.
    system.device = SDL_OpenAudioDevice(deviceName, 0, &wanted, &obtained, 0);
    return system.device != 0;
}

uint32_t audioStreamCreateFile(const std::string& path) {
    std::vector<uint8_t> bytes;
    if (!readFileBytes(path, bytes)) return 0;
    auto stream = std::make_unique<Stream>();
    // Only the length is needed now; playback decodes as it goes. Bytes
    // whose length cannot be scanned are decoded whole, as a last resort.
    if (stream->source.open(bytes.data(), bytes.size())) {
        // Not zeroed: every sample is decoded before it is played.
        stream->channel.pcm.resize(stream->source.frameCount() * audioOutputChannels);
    } else {
        std::vector<int16_t> pcm;
        if (!decodeMp3(bytes.data(), bytes.size(), pcm)) return 0;
        stream->channel.pcm.assign(pcm.begin(), pcm.end());
    }
    AudioSystem& system = audioSystem();
    stream->handle = system.nextHandle++;
    const uint32_t handle = stream->handle;
    AudioLock lock;
    system.streams.push_back(std::move(stream));
    return handle;
}

int64_t audioStreamGetLength(uint32_t stream) {
    AudioLock lock;
    const AudioChannel* channel = findChannel(stream);
    if (channel == nullptr) return -1;
    return static_cast<int64_t>(channel->frameCount()) * audioBytesPerFrame;
}

bool audioStart() {
    if (audioSystem().offline) return true;
    const SDL_AudioDeviceID device = audioSystem().device;
    if (device == 0) return false;
    SDL_PauseAudioDevice(device, 0);
    return true;
}

bool audioStreamPlay(uint32_t stream, bool flush, uint32_t flags) {
    AudioLock lock;
    AudioChannel* channel = findChannel(stream);
    if (channel == nullptr) return false;
    if (flush || channel->position >= channel->frameCount()) channel->position = 0;
    channel->looping = (flags & audioLoopFlag) != 0;
    channel->playing = true;
    return true;
}

bool audioChannelSlideAttributes(uint32_t stream, int /*frequency*/, int volume, int /*pan*/, uint32_t milliseconds) {
    AudioLock lock;
    AudioChannel* channel = findChannel(stream);
    if (channel == nullptr) return false;
    if (volume == audioKeepVolume) return true;
    const uint64_t frames = uint64_t{milliseconds} * audioOutputRate / 1000;
    if (volume == audioFadeOutVolume) {
        startVolumeSlide(*channel, 0.0f, frames, true);
    } else {
        startVolumeSlide(*channel, static_cast<float>(std::clamp(volume, 0, 100)) / 100.0f, frames, false);
    }
    return true;
}

void audioFree() {
    AudioSystem& system = audioSystem();
    if (system.device != 0) {
        SDL_CloseAudioDevice(system.device);
        system.device = 0;
    }
    system.streams.clear();
    system.offline = false;
    if (system.subsystemStarted) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        system.subsystemStarted = false;
    }
}

bool audioChannelSetPosition(uint32_t stream, uint64_t byteOffset) {
    Stream* found = findStream(stream);
    if (found == nullptr) return false;
    AudioChannel& channel = found->channel;
    const uint64_t frame = byteOffset / audioBytesPerFrame;
    const bool mustDecode = found->source.isOpen() && !found->source.finished() &&
                            std::min<uint64_t>(frame % std::max<std::size_t>(channel.frameCount(), 1) + seekLeadFrames,
                                               channel.frameCount()) > found->source.decodedFrames();
    if (mustDecode) {
        // The samples at the new place are decoded here, on the caller's
        // thread, before the channel plays them: a decode of minutes inside
        // the audio callback would drop out and leave the music late. The
        // channel is held meanwhile so the callback leaves the decoder alone.
        bool wasPlaying = false;
        {
            AudioLock lock;
            wasPlaying = channel.playing;
            channel.playing = false;
        }
        decodeAhead(*found, static_cast<std::size_t>(frame % channel.frameCount()), seekLeadFrames);
        AudioLock lock;
        channel.playing = wasPlaying;
    }
    AudioLock lock;
    const uint64_t length = channel.frameCount();
    channel.position = length == 0 ? 0 : static_cast<std::size_t>(frame % length);
    return true;
}

int64_t audioStreamGetDecodedLength(uint32_t stream) {
    AudioLock lock;
    const Stream* found = findStream(stream);
    if (found == nullptr) return -1;
    const std::size_t frames = found->source.isOpen() ? found->source.decodedFrames() : found->channel.frameCount();
    return static_cast<int64_t>(frames) * audioBytesPerFrame;
}

bool audioPause() {
    const SDL_AudioDeviceID device = audioSystem().device;
    if (device == 0) return audioSystem().offline;
    SDL_PauseAudioDevice(device, 1);
    return true;
}

void audioUseOfflineOutput() {
    AudioSystem& system = audioSystem();
    // A device already open would go on playing by itself.
    if (system.device != 0) {
        SDL_CloseAudioDevice(system.device);
        system.device = 0;
    }
    system.offline = true;
}

void audioRenderOffline(int16_t* out, std::size_t frames) {
    if (!audioSystem().offline) return;
    mixStreams(out, frames);
}
