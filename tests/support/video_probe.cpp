#include "support/video_probe.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

namespace {

// Top-level MP4 boxes in file order: is "moov" ahead of "mdat", and is the
// data in fragments, each with an index of its own ("moof")?
void readMp4Layout(const std::string& path, VideoProbe& probe) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return;
    bool first = false;
    uint8_t header[16];
    long at = 0;
    while (std::fseek(file, at, SEEK_SET) == 0 && std::fread(header, 1, 8, file) == 8) {
        uint64_t size = uint64_t(header[0]) << 24 | header[1] << 16 | header[2] << 8 | header[3];
        const std::string type(reinterpret_cast<char*>(header + 4), 4);
        if (size == 1 && std::fread(header + 8, 1, 8, file) == 8) {
            size = 0;
            for (int i = 8; i < 16; ++i) size = size << 8 | header[i];
        }
        if (type == "moov") first = true;
        if (type == "moof") probe.fragmented = true;
        if (type == "mdat" || size < 8) break;
        at += static_cast<long>(size);
    }
    std::fclose(file);
    probe.indexFirst = first && !probe.fragmented;
}

struct Decoder {
    ~Decoder() { avcodec_free_context(&context); }
    AVCodecContext* context = nullptr;
    AVStream* stream = nullptr;
};

bool openDecoder(AVFormatContext* format, AVMediaType type, Decoder& decoder) {
    const int index = av_find_best_stream(format, type, -1, -1, nullptr, 0);
    if (index < 0) return false;
    decoder.stream = format->streams[index];
    const AVCodec* codec = avcodec_find_decoder(decoder.stream->codecpar->codec_id);
    decoder.context = avcodec_alloc_context3(codec);
    return codec && decoder.context && avcodec_parameters_to_context(decoder.context, decoder.stream->codecpar) >= 0 &&
           avcodec_open2(decoder.context, codec, nullptr) >= 0;
}

}  // namespace

VideoProbe probeVideo(const std::string& path, int64_t pictureIndex) {
    VideoProbe probe;
    readMp4Layout(path, probe);
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0) {
        probe.error = "cannot open";
        return probe;
    }
    Decoder video, audio;
    if (avformat_find_stream_info(format, nullptr) < 0 || !openDecoder(format, AVMEDIA_TYPE_VIDEO, video) ||
        !openDecoder(format, AVMEDIA_TYPE_AUDIO, audio)) {
        probe.error = "no video and audio stream";
        avformat_close_input(&format);
        return probe;
    }
    probe.videoCodec = avcodec_get_name(video.context->codec_id);
    probe.audioCodec = avcodec_get_name(audio.context->codec_id);
    probe.width = video.context->width;
    probe.height = video.context->height;
    probe.frameRate = av_q2d(video.stream->avg_frame_rate);

    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    int64_t soundFrames = 0;
    auto take = [&](Decoder& decoder) {
        while (avcodec_receive_frame(decoder.context, frame) >= 0) {
            const double time = frame->best_effort_timestamp == AV_NOPTS_VALUE
                                    ? -1.0
                                    : frame->best_effort_timestamp * av_q2d(decoder.stream->time_base);
            if (&decoder == &video) {
                if (probe.frames == 0) probe.firstPictureTime = time;
                if (probe.frames == pictureIndex) {
                    probe.picture.resize(static_cast<std::size_t>(frame->width) * frame->height * 3);
                    SwsContext* scaler =
                        sws_getContext(frame->width, frame->height, AVPixelFormat(frame->format), frame->width,
                                       frame->height, AV_PIX_FMT_RGB24, SWS_BILINEAR, nullptr, nullptr, nullptr);
                    uint8_t* out[1] = {probe.picture.data()};
                    const int stride[1] = {frame->width * 3};
                    sws_scale(scaler, frame->data, frame->linesize, 0, frame->height, out, stride);
                    sws_freeContext(scaler);
                }
                ++probe.frames;
            } else {
                if (soundFrames == 0) probe.firstSoundTime = time;
                soundFrames += frame->nb_samples;
                if (frame->format == AV_SAMPLE_FMT_FLTP) {
                    for (int c = 0; c < frame->ch_layout.nb_channels; ++c) {
                        const auto* samples = reinterpret_cast<const float*>(frame->extended_data[c]);
                        for (int i = 0; i < frame->nb_samples; ++i)
                            probe.soundPeak = std::max(probe.soundPeak, int(std::fabs(samples[i]) * 32767.0f));
                    }
                }
            }
        }
    };
    while (av_read_frame(format, packet) >= 0) {
        Decoder* decoder = packet->stream_index == video.stream->index   ? &video
                           : packet->stream_index == audio.stream->index ? &audio
                                                                         : nullptr;
        if (decoder) {
            if (avcodec_send_packet(decoder->context, packet) < 0) ++probe.decodeErrors;
            take(*decoder);
        }
        av_packet_unref(packet);
    }
    for (Decoder* decoder : {&video, &audio}) {
        avcodec_send_packet(decoder->context, nullptr);
        take(*decoder);
    }
    probe.soundSeconds = static_cast<double>(soundFrames) / audio.context->sample_rate;
    av_frame_free(&frame);
    av_packet_free(&packet);
    avformat_close_input(&format);
    return probe;
}

double pictureSnr(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    if (a.size() != b.size() || a.empty()) return 0.0;
    double sum = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const double d = double(a[i]) - double(b[i]);
        sum += d * d;
    }
    if (sum == 0.0) return 99.0;
    return 10.0 * std::log10(255.0 * 255.0 / (sum / double(a.size())));
}
