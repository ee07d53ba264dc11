#pragma once
// Reads a video file back with libavformat and decodes all of it, for
// tests of the capture's video output.
#include <cstdint>
#include <string>
#include <vector>

struct VideoProbe {
    std::string error;  // empty when the file was read to its end
    std::string videoCodec;
    std::string audioCodec;
    int width = 0;
    int height = 0;
    double frameRate = 0.0;  // the stream's average
    int64_t frames = 0;      // pictures decoded
    int decodeErrors = 0;
    double firstPictureTime = -1.0;  // presentation time of the first picture
    double firstSoundTime = -1.0;    // ... and of the first sound heard
    double soundSeconds = 0.0;       // sound frames decoded / rate
    int soundPeak = 0;               // largest sample, 16-bit scale
    bool indexFirst = false;         // MP4: the whole index comes before the data
    bool fragmented = false;         // MP4: pieces, each with its own index
    std::vector<uint8_t> picture;    // RGB, rows top first, of the picture asked for
};

// pictureIndex >= 0 keeps that picture, counted in presentation order.
VideoProbe probeVideo(const std::string& path, int64_t pictureIndex = -1);

// Peak signal-to-noise ratio of two RGB pictures of one size, in dB
// (99 for identical ones).
double pictureSnr(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b);
