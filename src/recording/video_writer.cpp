#include "recording/video_writer.h"

#include "recording/pending_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

VideoContainer videoContainerFor(const std::string& path) {
    const std::size_t dot = path.find_last_of("./");
    if (dot == std::string::npos || path[dot] != '.') return VideoContainer::none;
    std::string extension = path.substr(dot + 1);
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (extension == "mp4") return VideoContainer::mp4;
    if (extension == "mkv") return VideoContainer::matroska;
    return VideoContainer::none;
}

namespace {

// Where players switch from standard- to high-definition colours.
bool isHighDefinition(const VideoSettings& settings) { return settings.height > 576; }

std::string avErrorText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

// The file under the capture's muxer. It grows piece by piece (MP4
// fragments, Matroska clusters), and nothing is written ahead of the data,
// so what the muxer has put out is a file that plays, however the run ends.
// A write that fails (a full disk) is cut back to the end of the last whole
// piece, which the caller marks after each packet.
class StreamFile {
public:
    explicit StreamFile(int fd) : fd(fd) {}

    int write(const uint8_t* data, int size) {
        for (int done = 0; done < size;) {
            const ssize_t n = ::pwrite(fd, data + done, static_cast<std::size_t>(size - done), position);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                failure = n < 0 ? errno : ENOSPC;
                return AVERROR(failure);
            }
            done += static_cast<int>(n);
            position += n;
            end = std::max(end, position);
        }
        return size;
    }

    // Matroska goes back only at the end, for its index and sizes.
    int64_t seek(int64_t offset, int whence) {
        switch (whence & ~AVSEEK_FORCE) {
        case AVSEEK_SIZE:
            return end;
        case SEEK_SET:
            position = offset;
            break;
        case SEEK_CUR:
            position += offset;
            break;
        case SEEK_END:
            position = end + offset;
            break;
        default:
            return AVERROR(EINVAL);
        }
        return position;
    }

    // What the muxer put out so far is whole pieces.
    void keep() { kept = end; }
    // Drops a piece written only in part.
    void cutBack() {
        if (end > kept && ::ftruncate(fd, kept) == 0) end = kept;
        position = end;
    }

    int64_t end = 0;
    int64_t kept = 0;
    int failure = 0;  // errno of the first failed write

private:
    int fd;
    int64_t position = 0;
};

int writeToFile(void* file, uint8_t* data, int size) { return static_cast<StreamFile*>(file)->write(data, size); }
int64_t seekInFile(void* file, int64_t offset, int whence) {
    return static_cast<StreamFile*>(file)->seek(offset, whence);
}

// Frames waiting for the encoder thread: enough to ride out a slow frame,
// few enough to keep memory small.
constexpr int slotCount = 6;
// A killed capture keeps all but its last piece: the muxer puts out a
// fragment (MP4) or cluster (Matroska) when it reaches a second or this
// many bytes. Small pieces also keep more of a capture that fills the disk.
constexpr int64_t pieceMicroseconds = 1000000;
constexpr int64_t pieceBytes = 128 << 10;

struct Slot {
    std::vector<uint8_t> picture;
    std::vector<int16_t> sound;
    std::size_t soundFrames = 0;
};

}  // namespace

struct VideoFileWriter::Encoder {
    ~Encoder() {
        for (AVPacket* packet : videoPackets) av_packet_free(&packet);
        for (AVPacket* packet : audioPackets) av_packet_free(&packet);
        avcodec_free_context(&videoCodec);
        avcodec_free_context(&audioCodec);
        av_frame_free(&picture);
        av_frame_free(&sound);
        av_audio_fifo_free(fifo);
        swr_free(&resampler);
        sws_freeContext(scaler);
        if (format) {
            if (format->pb) av_freep(&format->pb->buffer);
            avio_context_free(&format->pb);
            avformat_free_context(format);
        }
    }

    bool open(const std::string& path);
    bool openVideo();
    bool openAudio();
    void run();
    void encode(Slot& slot);
    void flush();
    bool send(AVCodecContext* codec, AVFrame* frame);
    bool receive(AVCodecContext* codec, AVStream* stream, std::deque<AVPacket*>& queue);
    void writeInterleaved(bool all);
    void writePacket(AVPacket* packet);
    void halt(const std::string& why);
    void finishFile();
    void repack();

    VideoSettings settings;
    VideoContainer container = VideoContainer::none;
    std::string target;
    PendingFile pending;     // the streamed file
    PendingFile indexFirst;  // its copy with the index at the front
    bool busy = false;
    std::unique_ptr<StreamFile> file;
    int64_t headerEnd = 0;
    AVFormatContext* format = nullptr;
    AVStream* videoStream = nullptr;
    AVStream* audioStream = nullptr;
    AVCodecContext* videoCodec = nullptr;
    AVCodecContext* audioCodec = nullptr;
    AVFrame* picture = nullptr;
    AVFrame* sound = nullptr;
    SwsContext* scaler = nullptr;
    SwrContext* resampler = nullptr;
    AVAudioFifo* fifo = nullptr;
    std::vector<float> planes;
    int64_t picturesSent = 0;
    int64_t soundSent = 0;
    std::deque<AVPacket*> videoPackets;
    std::deque<AVPacket*> audioPackets;
    int64_t soundDuration = 0;
    int64_t videoPacketsWritten = 0;
    int64_t audioPacketsWritten = 0;

    std::thread thread;
    std::mutex mutex;
    std::condition_variable slotFilled;
    std::condition_variable slotFreed;
    Slot slots[slotCount];
    int first = 0;
    int queued = 0;
    bool ending = false;
    int64_t handedOver = 0;  // main thread only
    bool refused = false;    // main thread only

    std::atomic<bool> halted{false};
    std::string reason;  // under mutex
    std::atomic<uint64_t> bytes{0};
    std::atomic<int64_t> frames{0};
    std::atomic<double> soundSeconds{0.0};
    std::string notice;  // written by the encoder thread before it ends
};

bool VideoFileWriter::Encoder::open(const std::string& path) {
    const char* formatName = container == VideoContainer::mp4 ? "mp4" : "matroska";
    if (avformat_alloc_output_context2(&format, nullptr, formatName, path.c_str()) < 0 || !format) {
        reason = "no muxer for this file type";
        return false;
    }
    if (!openVideo() || !openAudio()) return false;

    // A file size limit would otherwise end the process half-way; a failed
    // write is handled below instead.
    std::signal(SIGXFSZ, SIG_IGN);
    if (!pending.create(path)) {
        reason = pending.error();
        return false;
    }
    file = std::make_unique<StreamFile>(pending.descriptor());
    constexpr int bufferSize = 1 << 16;
    auto* buffer = static_cast<uint8_t*>(av_malloc(bufferSize));
    format->pb = avio_alloc_context(buffer, bufferSize, 1, file.get(), nullptr, writeToFile, seekInFile);
    if (!format->pb) {
        av_free(buffer);
        reason = "out of memory";
        return false;
    }
    format->flags |= AVFMT_FLAG_CUSTOM_IO;

    // Written as a stream of pieces of about a second, so the file plays up
    // to its last whole piece however the run ends.
    AVDictionary* options = nullptr;
    if (container == VideoContainer::mp4) {
        // Fragments, each with the index of its own samples. Never going
        // back, the file is whole after every one. The moov waits for the
        // first, which tells it the delays its edit lists cut (the sound
        // encoder's lead-in, reordered pictures). The copy made at the end
        // has the whole index at the front.
        format->pb->seekable = 0;
        av_dict_set(&options, "movflags", "+empty_moov+default_base_moof+delay_moov", 0);
        av_dict_set_int(&options, "frag_duration", pieceMicroseconds, 0);
        av_dict_set_int(&options, "frag_size", pieceBytes, 0);
    } else {
        // Clusters in a segment whose size says "unknown" until the end,
        // when the index goes into room kept for it at the front.
        format->pb->seekable = AVIO_SEEKABLE_NORMAL;
        av_dict_set_int(&options, "cluster_time_limit", pieceMicroseconds / 1000, 0);
        av_dict_set_int(&options, "cluster_size_limit", pieceBytes, 0);
        av_dict_set_int(&options, "reserve_index_space", 4096 + 24 * (settings.maxFrames / 4 + 1), 0);
    }
    const int result = avformat_write_header(format, &options);
    av_dict_free(&options);
    if (result >= 0) avio_flush(format->pb);
    if (result < 0 || format->pb->error < 0) {
        reason = file->failure ? std::strerror(file->failure) : avErrorText(result < 0 ? result : format->pb->error);
        return false;
    }
    file->keep();
    headerEnd = file->end;
    bytes = static_cast<uint64_t>(file->end);
    return true;
}

bool VideoFileWriter::Encoder::openVideo() {
    const AVCodec* codec = avcodec_find_encoder_by_name("libx264");
    if (!codec) {
        reason = "the FFmpeg libraries have no libx264 encoder";
        return false;
    }
    videoStream = avformat_new_stream(format, nullptr);
    videoCodec = avcodec_alloc_context3(codec);
    picture = av_frame_alloc();
    if (!videoStream || !videoCodec || !picture) {
        reason = "out of memory";
        return false;
    }
    videoCodec->width = settings.width;
    videoCodec->height = settings.height;
    videoCodec->pix_fmt = AV_PIX_FMT_YUV420P;
    videoCodec->time_base = AVRational{1, settings.fps};
    videoCodec->framerate = AVRational{settings.fps, 1};
    // Standard-definition colours, as players assume for 640x480; above
    // 576 lines they assume high-definition ones, so those are written.
    videoCodec->color_range = AVCOL_RANGE_MPEG;
    if (isHighDefinition(settings)) {
        videoCodec->colorspace = AVCOL_SPC_BT709;
        videoCodec->color_primaries = AVCOL_PRI_BT709;
        videoCodec->color_trc = AVCOL_TRC_BT709;
    } else {
        videoCodec->colorspace = AVCOL_SPC_SMPTE170M;
        videoCodec->color_primaries = AVCOL_PRI_SMPTE170M;
        videoCodec->color_trc = AVCOL_TRC_SMPTE170M;
    }
    if (format->oformat->flags & AVFMT_GLOBALHEADER) videoCodec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVDictionary* options = nullptr;
    av_dict_set(&options, "preset", settings.preset.c_str(), 0);
    av_dict_set_int(&options, "crf", settings.quality, 0);
    if (settings.macroblockTree) {
        // The tree needs frames ahead; veryfast's 10 are enough.
        av_dict_set_int(&options, "mbtree", 1, 0);
        av_dict_set_int(&options, "rc-lookahead", 10, 0);
    }
    const int result = avcodec_open2(videoCodec, codec, &options);
    av_dict_free(&options);
    if (result < 0) {
        reason = "cannot start the H.264 encoder: " + avErrorText(result);
        return false;
    }
    avcodec_parameters_from_context(videoStream->codecpar, videoCodec);
    videoStream->time_base = videoCodec->time_base;
    videoStream->avg_frame_rate = videoCodec->framerate;

    picture->format = AV_PIX_FMT_YUV420P;
    picture->width = settings.width;
    picture->height = settings.height;
    if (av_frame_get_buffer(picture, 0) < 0) {
        reason = "out of memory";
        return false;
    }
    scaler = sws_getContext(settings.width, settings.height, AV_PIX_FMT_RGBA, settings.width, settings.height,
                            AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!scaler) {
        reason = "cannot convert the pictures";
        return false;
    }
    const int* matrix = sws_getCoefficients(isHighDefinition(settings) ? SWS_CS_ITU709 : SWS_CS_ITU601);
    sws_setColorspaceDetails(scaler, matrix, 1, matrix, 0, 0, 1 << 16, 1 << 16);
    return true;
}

bool VideoFileWriter::Encoder::openAudio() {
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_AAC);
    if (!codec) {
        reason = "the FFmpeg libraries have no AAC encoder";
        return false;
    }
    audioStream = avformat_new_stream(format, nullptr);
    audioCodec = avcodec_alloc_context3(codec);
    sound = av_frame_alloc();
    if (!audioStream || !audioCodec || !sound) {
        reason = "out of memory";
        return false;
    }
    audioCodec->sample_fmt = AV_SAMPLE_FMT_FLTP;
    audioCodec->sample_rate = settings.audioRate;
    av_channel_layout_default(&audioCodec->ch_layout, settings.audioChannels);
    audioCodec->bit_rate = 192000;
    audioCodec->time_base = AVRational{1, settings.audioRate};
    if (format->oformat->flags & AVFMT_GLOBALHEADER) audioCodec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    const int result = avcodec_open2(audioCodec, codec, nullptr);
    if (result < 0) {
        reason = "cannot start the AAC encoder: " + avErrorText(result);
        return false;
    }
    avcodec_parameters_from_context(audioStream->codecpar, audioCodec);
    audioStream->time_base = audioCodec->time_base;

    if (swr_alloc_set_opts2(&resampler, &audioCodec->ch_layout, AV_SAMPLE_FMT_FLTP, settings.audioRate,
                            &audioCodec->ch_layout, AV_SAMPLE_FMT_S16, settings.audioRate, 0, nullptr) < 0 ||
        swr_init(resampler) < 0) {
        reason = "cannot convert the sound";
        return false;
    }
    fifo = av_audio_fifo_alloc(AV_SAMPLE_FMT_FLTP, settings.audioChannels, audioCodec->frame_size * 4);
    sound->format = AV_SAMPLE_FMT_FLTP;
    sound->sample_rate = settings.audioRate;
    av_channel_layout_copy(&sound->ch_layout, &audioCodec->ch_layout);
    sound->nb_samples = audioCodec->frame_size;
    if (!fifo || av_frame_get_buffer(sound, 0) < 0) {
        reason = "out of memory";
        return false;
    }
    return true;
}

void VideoFileWriter::Encoder::halt(const std::string& why) {
    std::lock_guard lock(mutex);
    if (halted) return;
    reason = why;
    halted = true;
}

void VideoFileWriter::Encoder::run() {
    for (;;) {
        std::unique_lock lock(mutex);
        slotFilled.wait(lock, [&] { return queued > 0 || ending; });
        if (queued == 0) break;
        Slot& slot = slots[first];
        lock.unlock();
        if (!halted) encode(slot);
        lock.lock();
        first = (first + 1) % slotCount;
        --queued;
        slotFreed.notify_one();
    }
    flush();
    if (!halted) {
        const int result = av_write_trailer(format);
        avio_flush(format->pb);
        if (result < 0 || format->pb->error < 0) {
            file->cutBack();
            halt(file->failure ? std::strerror(file->failure) : avErrorText(result < 0 ? result : format->pb->error));
        } else {
            file->keep();
        }
    }
    bytes = static_cast<uint64_t>(file->end);
    finishFile();
}

void VideoFileWriter::Encoder::finishFile() {
    if (file->end <= headerEnd || videoPacketsWritten == 0) {
        // No picture reached the file: the one that was there before stays.
        pending.discard();
        frames = 0;
        soundSeconds = 0.0;
        return;
    }
    if (!pending.putInPlace()) return halt("cannot rename it: " + pending.error());
    repack();
}

namespace {

struct Packed {
    int64_t pictures = 0;
    double soundEnd = 0.0;  // seconds, the sound before 0 (encoder lead-in) not counted
    bool read = false;      // to its end
    std::string failure;    // why the copy was given up, if it was
};

// Copies every packet of the streamed MP4 into one with its whole index at
// the front, which a browser reads before the data and so can start and
// seek while it downloads; players outside the browser and some sites
// handle fragments poorly. Counts what the streamed file holds as it goes;
// with no name to copy to, only counts.
Packed copyWithIndexFirst(const std::string& from, const std::string& to, int64_t pictureBound, int64_t soundBound,
                          int64_t soundSamples, int soundBlock, int soundRate) {
    Packed packed;
    AVFormatContext* input = nullptr;
    if (avformat_open_input(&input, from.c_str(), nullptr, nullptr) < 0) {
        packed.failure = "cannot read it back";
        return packed;
    }
    AVFormatContext* output = nullptr;
    int result = to.empty() ? AVERROR(EINVAL) : avformat_alloc_output_context2(&output, nullptr, "mp4", to.c_str());
    for (unsigned i = 0; result >= 0 && i < input->nb_streams; ++i) {
        AVStream* stream = avformat_new_stream(output, nullptr);
        result = stream ? avcodec_parameters_copy(stream->codecpar, input->streams[i]->codecpar) : AVERROR(ENOMEM);
        if (result < 0) break;
        stream->codecpar->codec_tag = 0;
        stream->time_base = input->streams[i]->time_base;
    }
    if (result >= 0) result = avio_open(&output->pb, to.c_str(), AVIO_FLAG_WRITE);
    // The index goes into room kept for it ahead of the data.
    AVDictionary* options = nullptr;
    av_dict_set_int(&options, "moov_size", 8192 + 48 * pictureBound + 32 * soundBound, 0);
    if (result >= 0) result = avformat_write_header(output, &options);
    av_dict_free(&options);
    const bool headerWritten = result >= 0;

    AVPacket* packet = av_packet_alloc();
    int readResult = packet ? 0 : AVERROR(ENOMEM);
    while (readResult >= 0 && (readResult = av_read_frame(input, packet)) >= 0) {
        const AVStream* stream = input->streams[packet->stream_index];
        if (stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
            ++packed.pictures;
        } else if (stream->codecpar->codec_type == AVMEDIA_TYPE_AUDIO && packet->pts != AV_NOPTS_VALUE) {
            // Read back, blocks may come without a duration, and the last
            // one's may cover its padding too; the copy's edit list ends
            // where the sound does.
            if (packet->duration <= 0)
                packet->duration = av_rescale_q(soundBlock, AVRational{1, soundRate}, stream->time_base);
            const int64_t soundEnd = av_rescale_q(soundSamples, AVRational{1, soundRate}, stream->time_base);
            packet->duration = std::max<int64_t>(1, std::min(packet->duration, soundEnd - packet->pts));
            packed.soundEnd = std::max(packed.soundEnd,
                                       static_cast<double>(packet->pts + packet->duration) * av_q2d(stream->time_base));
        }
        if (result >= 0) {
            av_packet_rescale_ts(packet, stream->time_base, output->streams[packet->stream_index]->time_base);
            packet->pos = -1;
            result = av_interleaved_write_frame(output, packet);
        }
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    packed.read = readResult == AVERROR_EOF;
    if (headerWritten) {
        // Also after a failure: it releases what the muxer holds.
        const int ended = av_write_trailer(output);
        if (result >= 0) result = ended;
    }
    if (result >= 0 && output->pb->error < 0) result = output->pb->error;
    if (output && output->pb && avio_closep(&output->pb) < 0 && result >= 0) result = AVERROR(EIO);
    if (result < 0 && !to.empty()) packed.failure = avErrorText(result);
    avformat_free_context(output);
    avformat_close_input(&input);
    return packed;
}

}  // namespace

void VideoFileWriter::Encoder::repack() {
    // Matroska has its index at the front already.
    std::string failure;
    const bool copying = container == VideoContainer::mp4 && indexFirst.create(target, true);
    if (container == VideoContainer::mp4 && !copying) failure = indexFirst.error();
    const Packed packed =
        copyWithIndexFirst(target, copying ? indexFirst.path() : "", videoPacketsWritten, audioPacketsWritten,
                           soundSent, audioCodec->frame_size, settings.audioRate);
    if (failure.empty()) failure = packed.failure;
    if (packed.read) {
        frames = packed.pictures;
        soundSeconds = packed.soundEnd;
    }
    if (!copying && failure.empty()) return;
    // The copy takes the target's name, and its lock along.
    if (failure.empty() && !indexFirst.putInPlace()) failure = indexFirst.error();
    if (failure.empty()) {
        struct stat info = {};
        if (::stat(target.c_str(), &info) == 0) bytes = static_cast<uint64_t>(info.st_size);
        return;
    }
    indexFirst.discard();
    notice = failure;
}

void VideoFileWriter::Encoder::encode(Slot& slot) {
    if (av_frame_make_writable(picture) < 0) return halt("out of memory");
    // GL rows come bottom first: start at the last and step backwards.
    const int stride = settings.width * 4;
    const uint8_t* top = slot.picture.data() + static_cast<std::size_t>(settings.height - 1) * stride;
    const int backwards = -stride;
    sws_scale(scaler, &top, &backwards, 0, settings.height, picture->data, picture->linesize);
    picture->pts = picturesSent++;
    if (!send(videoCodec, picture) || !receive(videoCodec, videoStream, videoPackets)) return;

    if (slot.soundFrames > 0) {
        const int count = static_cast<int>(slot.soundFrames);
        planes.resize(static_cast<std::size_t>(count) * settings.audioChannels);
        uint8_t* out[AV_NUM_DATA_POINTERS] = {};
        for (int c = 0; c < settings.audioChannels && c < AV_NUM_DATA_POINTERS; ++c)
            out[c] = reinterpret_cast<uint8_t*>(planes.data() + static_cast<std::size_t>(c) * count);
        const auto* in = reinterpret_cast<const uint8_t*>(slot.sound.data());
        const int converted = swr_convert(resampler, out, count, &in, count);
        if (converted < 0 || av_audio_fifo_write(fifo, reinterpret_cast<void**>(out), converted) < converted)
            return halt("cannot convert the sound");
    }
    while (av_audio_fifo_size(fifo) >= audioCodec->frame_size) {
        if (av_frame_make_writable(sound) < 0) return halt("out of memory");
        sound->nb_samples = audioCodec->frame_size;
        av_audio_fifo_read(fifo, reinterpret_cast<void**>(sound->data), sound->nb_samples);
        sound->pts = soundSent;
        soundSent += sound->nb_samples;
        if (!send(audioCodec, sound) || !receive(audioCodec, audioStream, audioPackets)) return;
    }
    writeInterleaved(false);
}

void VideoFileWriter::Encoder::flush() {
    if (!halted && av_audio_fifo_size(fifo) > 0) {
        // The encoder takes a short last frame; the file ends with the sound.
        if (av_frame_make_writable(sound) >= 0) {
            sound->nb_samples = av_audio_fifo_size(fifo);
            av_audio_fifo_read(fifo, reinterpret_cast<void**>(sound->data), sound->nb_samples);
            sound->pts = soundSent;
            soundSent += sound->nb_samples;
            if (send(audioCodec, sound)) receive(audioCodec, audioStream, audioPackets);
        }
    }
    // Encoders keep frames back; after a failure their packets are dropped.
    if (send(videoCodec, nullptr)) receive(videoCodec, videoStream, videoPackets);
    if (send(audioCodec, nullptr)) receive(audioCodec, audioStream, audioPackets);
    writeInterleaved(true);
}

bool VideoFileWriter::Encoder::send(AVCodecContext* codec, AVFrame* frame) {
    const int result = avcodec_send_frame(codec, frame);
    if (result < 0 && result != AVERROR_EOF) {
        halt("the encoder failed: " + avErrorText(result));
        return false;
    }
    return true;
}

bool VideoFileWriter::Encoder::receive(AVCodecContext* codec, AVStream* stream, std::deque<AVPacket*>& queue) {
    for (;;) {
        AVPacket* packet = av_packet_alloc();
        const int result = packet ? avcodec_receive_packet(codec, packet) : AVERROR(ENOMEM);
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) {
            av_packet_free(&packet);
            return true;
        }
        if (result < 0) {
            av_packet_free(&packet);
            halt("the encoder failed: " + avErrorText(result));
            return false;
        }
        // Every picture lasts one step, the last one included.
        if (codec == videoCodec && packet->duration == 0) packet->duration = 1;
        av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
        packet->stream_index = stream->index;
        queue.push_back(packet);
    }
}

void VideoFileWriter::Encoder::writeInterleaved(bool all) {
    // In time order across the two streams, so picture and sound lie side
    // by side in the file. A stream that stays silent holds nothing up long.
    constexpr std::size_t mostHeldBack = 256;
    for (;;) {
        const bool bothWaiting = !videoPackets.empty() && !audioPackets.empty();
        const bool tooMany = videoPackets.size() + audioPackets.size() > mostHeldBack;
        if (!bothWaiting && !(all || tooMany)) break;
        if (videoPackets.empty() && audioPackets.empty()) break;
        const bool takeVideo =
            audioPackets.empty() ||
            (!videoPackets.empty() && av_compare_ts(videoPackets.front()->dts, videoStream->time_base,
                                                    audioPackets.front()->dts, audioStream->time_base) <= 0);
        std::deque<AVPacket*>& queue = takeVideo ? videoPackets : audioPackets;
        AVPacket* packet = queue.front();
        queue.pop_front();
        if (!halted) writePacket(packet);
        av_packet_free(&packet);
    }
}

void VideoFileWriter::Encoder::writePacket(AVPacket* packet) {
    const bool isVideo = packet->stream_index == videoStream->index;
    const int64_t duration = packet->duration;
    int result = av_write_frame(format, packet);
    if (result >= 0) {
        avio_flush(format->pb);
        result = format->pb->error;
    }
    if (result < 0) {
        file->cutBack();
        return halt(file->failure ? std::strerror(file->failure) : avErrorText(result));
    }
    if (file->end > file->kept) {
        file->keep();
        // The first piece with pictures replaces the file that was there.
        if (videoPacketsWritten > 0 && !pending.inPlace() && !pending.putInPlace())
            return halt("cannot rename it: " + pending.error());
    }
    bytes = static_cast<uint64_t>(file->end);
    if (isVideo) {
        ++frames;
        ++videoPacketsWritten;
    } else {
        ++audioPacketsWritten;
        // The encoder's lead-in before the first sample is not heard.
        soundDuration += duration;
        const int64_t leadIn = av_rescale_q(audioCodec->initial_padding, audioCodec->time_base, audioStream->time_base);
        soundSeconds =
            static_cast<double>(std::max<int64_t>(0, soundDuration - leadIn)) * av_q2d(audioStream->time_base);
    }
}

VideoFileWriter::VideoFileWriter() = default;

VideoFileWriter::~VideoFileWriter() { close(); }

bool VideoFileWriter::open(const std::string& path, const VideoSettings& settings) {
    close();
    encoder = std::make_unique<Encoder>();
    encoder->settings = settings;
    encoder->container = videoContainerFor(path);
    encoder->target = path;
    bool ok = encoder->container != VideoContainer::none;
    if (!ok) encoder->reason = "the name must end in .mp4 or .mkv";
    if (ok &&
        (settings.width <= 0 || settings.height <= 0 || settings.width % 2 || settings.height % 2 ||
         settings.fps <= 0 || settings.audioRate <= 0 || settings.audioChannels <= 0 || settings.maxFrames <= 0)) {
        encoder->reason = "unusable video settings";
        ok = false;
    }
    av_log_set_level(AV_LOG_ERROR);
    if (ok) ok = encoder->open(path);
    if (!ok) {
        encoder->halted = true;
        encoder->busy = encoder->pending.busy();
        // A file that never got its header is of no use.
        encoder->pending.discard();
        return false;
    }
    for (Slot& slot : encoder->slots)
        slot.picture.resize(static_cast<std::size_t>(settings.width) * settings.height * 4);
    encoder->thread = std::thread([e = encoder.get()] { e->run(); });
    return true;
}

bool VideoFileWriter::append(const uint8_t* rgba, const int16_t* sound, std::size_t soundFrames) {
    return append([&](uint8_t* picture) { std::memcpy(picture, rgba, encoder->slots[0].picture.size()); }, sound,
                  soundFrames);
}

bool VideoFileWriter::append(const std::function<void(uint8_t* rgba)>& fill, const int16_t* sound,
                             std::size_t soundFrames) {
    if (!encoder || !encoder->thread.joinable() || encoder->halted || encoder->refused) return false;
    Encoder& e = *encoder;
    if (e.handedOver >= e.settings.maxFrames) {
        // Refused, but what came before is still encoded and written.
        std::lock_guard lock(e.mutex);
        if (e.reason.empty()) e.reason = "more frames than the capture was to have";
        e.refused = true;
        return false;
    }
    std::unique_lock lock(e.mutex);
    e.slotFreed.wait(lock, [&] { return e.queued < slotCount; });
    Slot& slot = e.slots[(e.first + e.queued) % slotCount];
    lock.unlock();
    // The encoder thread leaves a slot alone until it is counted as queued.
    fill(slot.picture.data());
    slot.sound.assign(sound, sound + soundFrames * static_cast<std::size_t>(e.settings.audioChannels));
    slot.soundFrames = soundFrames;
    lock.lock();
    ++e.queued;
    ++e.handedOver;
    e.slotFilled.notify_one();
    return true;
}

bool VideoFileWriter::close() {
    if (!encoder) return true;
    if (encoder->thread.joinable()) {
        {
            std::lock_guard lock(encoder->mutex);
            encoder->ending = true;
        }
        encoder->slotFilled.notify_one();
        encoder->thread.join();
        // Finished: another capture may have the name now.
        encoder->pending.discard();
        encoder->indexFirst.discard();
    }
    return !encoder->halted && !encoder->refused;
}

std::string VideoFileWriter::notice() const { return encoder && !encoder->thread.joinable() ? encoder->notice : ""; }
bool VideoFileWriter::busy() const { return encoder && encoder->busy; }

std::string VideoFileWriter::error() const {
    if (!encoder) return {};
    std::lock_guard lock(encoder->mutex);
    return encoder->reason;
}

uint64_t VideoFileWriter::fileBytes() const { return encoder ? encoder->bytes.load() : 0; }
int64_t VideoFileWriter::framesInFile() const { return encoder ? encoder->frames.load() : 0; }
double VideoFileWriter::soundSecondsInFile() const { return encoder ? encoder->soundSeconds.load() : 0.0; }
