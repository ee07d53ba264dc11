// The tools' file writers: what they write must be well-formed, because the
// bundled demo built from them is what checks the player's readers.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <utility>

#include "lwob_writer.h"
#include "shapes.h"
#include "tga_writer.h"
#include "wav_writer.h"

namespace {

uint32_t be32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | b[at + 3];
}
uint16_t be16(const std::vector<uint8_t>& b, size_t at) { return uint16_t(b[at] << 8 | b[at + 1]); }
uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

// Decodes the run-length packets of one row; fails the test when a packet
// would cross the row's end.
std::vector<uint8_t> decodeRow(const std::vector<uint8_t>& file, size_t& at, int width, int bpp) {
    std::vector<uint8_t> row;
    while (int(row.size()) < width * bpp) {
        uint8_t header = file.at(at++);
        int count = (header & 0x7f) + 1;
        EXPECT_LE(int(row.size()) / bpp + count, width) << "packet crosses the row";
        for (int i = 0; i < count; ++i) {
            size_t from = header & 0x80 ? at : at + size_t(i * bpp);
            row.insert(row.end(), file.begin() + long(from), file.begin() + long(from) + bpp);
        }
        at += size_t(header & 0x80 ? bpp : count * bpp);
    }
    return row;
}

Picture rowsWithRunsAndNoise() {
    Picture p(300, 3);
    for (int x = 0; x < 300; ++x) {
        p.at(x, 0) = {1, 0, 0, 1};                               // one run of 300
        p.at(x, 1) = {float(x % 2), 0.5f, float(x % 3) / 2, 1};  // no two equal neighbours
        p.at(x, 2) = {x < 129 || x % 7 == 0 ? 0.2f : float(x) / 300, 0, 1, float(x % 5) / 4};  // mixed
    }
    return p;
}

}  // namespace

TEST(TgaWriter, RunLengthFileDecodesToThePictureTopRowFirst) {
    Picture picture = rowsWithRunsAndNoise();
    for (int bits : {24, 32}) {
        std::vector<uint8_t> file = encodeTga(picture, {bits, TgaEncoding::RunLength, bits == 32});
        ASSERT_EQ(file[2], 10);
        EXPECT_EQ(file[16], bits);
        EXPECT_EQ(file[17], bits == 32 ? 0x28 : 0x20);  // upper-left origin, alpha bits
        const int bpp = bits / 8;
        size_t at = 18;
        for (int y = 0; y < picture.height; ++y) {
            std::vector<uint8_t> row = decodeRow(file, at, picture.width, bpp);
            for (int x = 0; x < picture.width; ++x) {
                const Rgba& p = picture.at(x, y);
                const uint8_t* got = &row[size_t(x * bpp)];
                ASSERT_EQ(got[0], toByte(p.b)) << "bits " << bits << " at " << x << "," << y;
                ASSERT_EQ(got[1], toByte(p.g));
                ASSERT_EQ(got[2], toByte(p.r));
                if (bits == 32) {
                    ASSERT_EQ(got[3], toByte(p.a));
                }
            }
        }
        EXPECT_EQ(at, file.size());
    }
}

TEST(TgaWriter, UncompressedFileStartsWithTheBottomRowAndOpaqueAlphaWhenAsked) {
    Picture picture(2, 2);
    picture.at(0, 0) = {1, 0, 0, 0.5f};  // top row red
    picture.at(1, 0) = {1, 0, 0, 0.5f};
    picture.at(0, 1) = {0, 0, 1, 0.5f};  // bottom row blue
    picture.at(1, 1) = {0, 0, 1, 0.5f};
    std::vector<uint8_t> file = encodeTga(picture, {32, TgaEncoding::Uncompressed, false});
    ASSERT_EQ(file.size(), 18u + 16u);
    EXPECT_EQ(file[2], 2);
    EXPECT_EQ(file[17], 0);                          // lower-left origin, no alpha bits
    const uint8_t firstPixel[4] = {255, 0, 0, 255};  // blue in B, G, R, A; alpha forced opaque
    EXPECT_EQ(std::memcmp(&file[18], firstPixel, 4), 0);
}

TEST(LwobWriter, ChunksAreEvenSizedAndAddUpToTheFormSize) {
    TriangleMesh mesh = makeTorus(1, 0.3f, 8, 5);
    LwoSurface surface{"Odd", {1, 2, 3}};  // a name whose zero terminator makes it even
    std::vector<uint8_t> file = encodeLwob(mesh, surface);
    ASSERT_EQ(std::string(file.begin(), file.begin() + 4), "FORM");
    ASSERT_EQ(be32(file, 4), file.size() - 8);
    ASSERT_EQ(std::string(file.begin() + 8, file.begin() + 12), "LWOB");
    std::vector<std::string> ids;
    size_t at = 12;
    while (at < file.size()) {
        ASSERT_LE(at + 8, file.size());
        std::string id(file.begin() + long(at), file.begin() + long(at) + 4);
        uint32_t size = be32(file, at + 4);
        EXPECT_EQ(size % 2, 0u) << id;
        ASSERT_LE(at + 8 + size, file.size()) << id;
        if (id == "PNTS") {
            EXPECT_EQ(size, mesh.points.size() * 12);
        }
        if (id == "POLS") {
            size_t used = 0, records = 0;
            while (used < size) {
                uint16_t count = be16(file, at + 8 + used);
                ASSERT_EQ(count, 3);
                for (int k = 0; k < 3; ++k) EXPECT_LT(be16(file, at + 10 + used + size_t(2 * k)), mesh.points.size());
                EXPECT_EQ(be16(file, at + 16 + used), 1);  // surface 1
                used += 10;
                ++records;
            }
            EXPECT_EQ(records, mesh.triangles.size());
        }
        ids.push_back(id);
        at += 8 + size;
    }
    EXPECT_EQ(ids, (std::vector<std::string>{"PNTS", "SRFS", "POLS", "SURF"}));
}

TEST(Shapes, AreClosedConsistentlyWoundOutwardAndOffTheZAxis) {
    const double pi = 3.14159265358979;
    struct Case {
        const char* name;
        TriangleMesh mesh;
        double volume;
    };
    Case cases[] = {{"torus", makeTorus(1.0f, 0.38f, 64, 24), 2 * pi * pi * 1.0 * 0.38 * 0.38},
                    {"sphere", makeSphere(1.0f, 4), 4.0 / 3.0 * pi}};
    for (const Case& c : cases) {
        // Every directed edge once, and its reverse once: closed and consistently wound.
        std::map<std::pair<int, int>, int> edges;
        for (const auto& t : c.mesh.triangles)
            for (int k = 0; k < 3; ++k) {
                ASSERT_LT(t[size_t(k)], c.mesh.points.size());
                ++edges[{t[size_t(k)], t[size_t((k + 1) % 3)]}];
            }
        for (const auto& [edge, count] : edges) {
            EXPECT_EQ(count, 1) << c.name;
            EXPECT_EQ(edges.count({edge.second, edge.first}), 1u) << c.name;
        }
        // Outward winding gives a positive enclosed volume near the true one.
        EXPECT_NEAR(signedVolume(c.mesh), c.volume, c.volume * 0.03) << c.name;
        for (const auto& p : c.mesh.points) EXPECT_GT(std::hypot(p[0], p[1]), 1e-3) << c.name;
    }
    EXPECT_EQ(cases[1].mesh.triangles.size(), 5120u);
}

TEST(WavWriter, HeaderDescribesSixteenBitStereoAndSamplesAreClamped) {
    std::vector<float> left = {0.0f, 2.0f}, right = {-2.0f, 0.5f};
    std::vector<uint8_t> file = encodeWav(left, right, 44100);
    ASSERT_EQ(file.size(), 44u + 8u);
    EXPECT_EQ(std::string(file.begin(), file.begin() + 4), "RIFF");
    EXPECT_EQ(le32(file, 4), file.size() - 8);
    EXPECT_EQ(le32(file, 24), 44100u);
    EXPECT_EQ(le32(file, 28), 44100u * 4);
    EXPECT_EQ(le32(file, 40), 8u);
    int16_t samples[4];
    std::memcpy(samples, &file[44], 8);
    EXPECT_EQ(samples[1], -32767);  // right of frame 0
    EXPECT_EQ(samples[2], 32767);   // left of frame 1
}
