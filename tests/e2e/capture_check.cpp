// Measures captured files for the end-to-end tests:
//   capture_check lit FRAME.png [X Y W H]  share of pixels that are not black, in percent,
//                                        of the whole or of a region (from the top left)
//   capture_check size FRAME.png         its width and height as WxH
//   capture_check differ A.png B.png     mean absolute difference of the colour channels
//   capture_check psnr A.png B.png       peak signal-to-noise ratio of the colour channels, in dB
//   capture_check wav AUDIO.wav FROM TO  sound frames in the file and the peak sample
//                                        between FROM and TO seconds (TO may be "end")
//   capture_check video FILE             the streams of a video file, decoded to the end
//   capture_check snr FILE N FRAME.png   how close picture N of the video is to the PNG, in dB
//   capture_check flashes DIR FPS START  the flash check over DIR/frame_000000.png, ... taken
//                                        FPS a second from START: its report lines
#include <png.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "authoring/flash_analysis.h"
#include "support/video_probe.h"

namespace {

bool readRgb(const char* path, std::vector<uint8_t>& rgb, png_uint_32& width, png_uint_32& height) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path)) return false;
    image.format = PNG_FORMAT_RGB;
    rgb.resize(PNG_IMAGE_SIZE(image));
    width = image.width;
    height = image.height;
    return png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr) != 0;
}

int fail(const char* what) {
    std::fprintf(stderr, "capture_check: %s\n", what);
    return 2;
}

int lit(const char* path, char** region) {
    std::vector<uint8_t> rgb;
    png_uint_32 width = 0, height = 0;
    if (!readRgb(path, rgb, width, height) || rgb.empty()) return fail("cannot read the picture");
    long x0 = 0, y0 = 0, w = long(width), h = long(height);
    if (region) {
        x0 = std::atol(region[0]), y0 = std::atol(region[1]), w = std::atol(region[2]), h = std::atol(region[3]);
        if (x0 < 0 || y0 < 0 || w <= 0 || h <= 0 || x0 + w > long(width) || y0 + h > long(height))
            return fail("the region is not inside the picture");
    }
    std::size_t count = 0;
    for (long y = y0; y < y0 + h; ++y)
        for (long x = x0; x < x0 + w; ++x) {
            const uint8_t* p = &rgb[(std::size_t(y) * width + std::size_t(x)) * 3];
            count += p[0] > 16 || p[1] > 16 || p[2] > 16;
        }
    std::printf("%.1f\n", 100.0 * double(count) / double(w * h));
    return 0;
}

int size(const char* path) {
    std::vector<uint8_t> rgb;
    png_uint_32 width = 0, height = 0;
    if (!readRgb(path, rgb, width, height)) return fail("cannot read the picture");
    std::printf("%ux%u\n", unsigned(width), unsigned(height));
    return 0;
}

int differ(const char* first, const char* second) {
    std::vector<uint8_t> a, b;
    png_uint_32 wa = 0, ha = 0, wb = 0, hb = 0;
    if (!readRgb(first, a, wa, ha) || !readRgb(second, b, wb, hb)) return fail("cannot read the pictures");
    if (wa != wb || ha != hb || a.empty()) return fail("the pictures differ in size");
    double sum = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i) sum += std::abs(int(a[i]) - int(b[i]));
    std::printf("%.1f\n", sum / double(a.size()));
    return 0;
}

int wav(const char* path, const char* from, const char* to) {
    std::ifstream file(path, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    // The player's own layout: a 44-byte header, 44100 Hz stereo 16-bit.
    if (bytes.size() < 44 || std::memcmp(bytes.data(), "RIFF", 4) != 0) return fail("not a WAV file");
    const std::size_t frames = (bytes.size() - 44) / 4;
    const std::size_t first = std::min(frames, std::size_t(std::atof(from) * 44100));
    const std::size_t last =
        std::strcmp(to, "end") == 0 ? frames : std::min(frames, std::size_t(std::atof(to) * 44100));
    int peak = 0;
    for (std::size_t i = first * 2; i < last * 2; ++i) {
        const auto sample = static_cast<int16_t>(bytes[44 + i * 2] | bytes[44 + i * 2 + 1] << 8);
        peak = std::max(peak, std::abs(int(sample)));
    }
    std::printf("frames %zu peak %d\n", frames, peak);
    return 0;
}

int video(const char* path) {
    const VideoProbe probe = probeVideo(path);
    if (!probe.error.empty()) return fail(probe.error.c_str());
    std::printf("video %s %dx%d %.3f frames %lld first %.3f errors %d audio %s %.3f s first %.3f peak %d index %s\n",
                probe.videoCodec.c_str(), probe.width, probe.height, probe.frameRate,
                static_cast<long long>(probe.frames), probe.firstPictureTime, probe.decodeErrors,
                probe.audioCodec.c_str(), probe.soundSeconds, probe.firstSoundTime, probe.soundPeak,
                probe.indexFirst   ? "first"
                : probe.fragmented ? "fragments"
                                   : "last");
    return 0;
}

int snr(const char* path, const char* index, const char* png) {
    const VideoProbe probe = probeVideo(path, std::atoll(index));
    std::vector<uint8_t> expected;
    png_uint_32 width = 0, height = 0;
    if (probe.picture.empty() || !readRgb(png, expected, width, height)) return fail("cannot read the pictures");
    std::printf("%.1f\n", pictureSnr(probe.picture, expected));
    return 0;
}

// The frames as written, through the player's own analyser.
int flashes(const std::string& directory, const char* rate, const char* start) {
    const int fps = std::atoi(rate);
    if (fps <= 0) return fail("no frame rate");
    std::vector<std::string> lines;
    std::vector<uint8_t> rgb, rgba;
    FlashAnalysis analysis;
    FlashCells cells;
    int frame = 0;
    double t = std::atof(start);
    for (;; ++frame) {
        char name[32];
        std::snprintf(name, sizeof name, "/frame_%06d.png", frame);
        png_uint_32 width = 0, height = 0;
        if (!readRgb((directory + name).c_str(), rgb, width, height)) break;
        if (frame == 0) analysis = startFlashAnalysis(int(width), int(height));
        rgba.resize(std::size_t(width) * height * 4);
        for (std::size_t i = 0, j = 0; i < rgb.size(); i += 3, j += 4) {
            std::copy(&rgb[i], &rgb[i] + 3, &rgba[j]);
            rgba[j + 3] = 255;
        }
        t = std::atof(start) + double(frame) / fps;
        measureFlashCells(rgba.data(), int(width), int(height), analysis.rules, cells);
        addFlashFrame(analysis, cells, t);
    }
    if (frame == 0) return fail("no frames");
    const std::vector<FlashStretch> stretches = finishFlashAnalysis(analysis);
    for (const FlashStretch& stretch : stretches) std::printf("%s\n", flashStretchLine(stretch).c_str());
    std::printf("%s\n", flashSummaryLine(stretches, std::atof(start), t).c_str());
    return 0;
}

}  // namespace

int psnr(const char* first, const char* second) {
    std::vector<uint8_t> a, b;
    png_uint_32 aw = 0, ah = 0, bw = 0, bh = 0;
    if (!readRgb(first, a, aw, ah) || !readRgb(second, b, bw, bh)) return fail("cannot read the pictures");
    if (aw != bw || ah != bh || a.empty()) return fail("the pictures differ in size");
    double squared = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i) squared += (double(a[i]) - b[i]) * (double(a[i]) - b[i]);
    // Identical pictures print 99.
    std::printf("%.1f\n", squared == 0.0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 * double(a.size()) / squared));
    return 0;
}

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "lit" && (argc == 3 || argc == 7)) return lit(argv[2], argc == 7 ? argv + 3 : nullptr);
    if (command == "size" && argc == 3) return size(argv[2]);
    if (command == "differ" && argc == 4) return differ(argv[2], argv[3]);
    if (command == "psnr" && argc == 4) return psnr(argv[2], argv[3]);
    if (command == "wav" && argc == 5) return wav(argv[2], argv[3], argv[4]);
    if (command == "video" && argc == 3) return video(argv[2]);
    if (command == "snr" && argc == 5) return snr(argv[2], argv[3], argv[4]);
    if (command == "flashes" && argc == 5) return flashes(argv[2], argv[3], argv[4]);
    return fail(
        "usage: lit FRAME [X Y W H] | size FRAME | differ A B | psnr A B | wav FILE FROM TO | video FILE | snr FILE N "
        "FRAME | flashes DIR FPS "
        "START");
}
