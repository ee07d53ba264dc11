#include "assets/tga_reader.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "support/captured_console.h"
#include "support/picture_files.h"

namespace {

using Bytes = std::vector<uint8_t>;

const Bytes pixelA = {1, 2, 3, 4}, pixelB = {5, 6, 7, 8}, pixelC = {9, 10, 11, 12}, pixelD = {13, 14, 15, 16};

Bytes join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

std::unique_ptr<TgaImage> parse(const Bytes& file, std::string* out = nullptr) {
    std::unique_ptr<TgaImage> image;
    CapturedConsole console = captureConsole([&] { image = parseTga(file.data(), file.size(), "mem.tga"); });
    if (out) *out = console.out;
    return image;
}

TEST(TgaReader, Uncompressed32BitReversesRowsAndKeepsFileBytes) {
    std::string out;
    auto image = parse(tgaFile(2, 2, 2, 32, join({pixelA, pixelB, pixelC, pixelD})), &out);
    ASSERT_TRUE(image);
    EXPECT_EQ(out, "Load_TGA() : width = 2 height = 2\n");
    EXPECT_EQ(image->bytesPerPixel, 4);
    EXPECT_EQ(image->width, 2);
    EXPECT_EQ(image->height, 2);
    EXPECT_EQ(image->data, join({pixelC, pixelD, pixelA, pixelB}));
}

TEST(TgaReader, RunLengthKeepsFileRowOrder) {
    // Four raw packets of one pixel each.
    Bytes packets = join({{0}, pixelA, {0}, pixelB, {0}, pixelC, {0}, pixelD});
    auto image = parse(tgaFile(10, 2, 2, 32, packets));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->data, join({pixelA, pixelB, pixelC, pixelD}));
}

TEST(TgaReader, RunAndRawPackets) {
    // 131: pixelA four times; 3: four literal pixels.
    Bytes packets = join({{131}, pixelA, {3}, pixelB, pixelC, pixelD, pixelA});
    auto image = parse(tgaFile(10, 4, 2, 32, packets));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->data, join({pixelA, pixelA, pixelA, pixelA, pixelB, pixelC, pixelD, pixelA}));
}

TEST(TgaReader, RunLength24BitGivesRgb) {
    auto image = parse(tgaFile(10, 2, 1, 24, {129, 10, 20, 30}));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->bytesPerPixel, 3);
    EXPECT_EQ(image->data, (Bytes{30, 20, 10, 30, 20, 10}));
}

TEST(TgaReader, SkipsIdField) {
    Bytes file = tgaHeader(2, 1, 1, 32, 200);
    file.insert(file.end(), pixelB.begin(), pixelB.end());
    ASSERT_EQ(file.size(), 18u + 200u + 4u);
    auto image = parse(file);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->data, pixelB);
}

TEST(TgaReader, Uncompressed24BitReversesRowsAndGivesRgb) {
    auto image = parse(tgaFile(2, 1, 2, 24, {1, 2, 3, 4, 5, 6}));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->bytesPerPixel, 3);
    EXPECT_EQ(image->data, (Bytes{6, 5, 4, 3, 2, 1}));
}

TEST(TgaReader, SixteenBitExpandsFiveBitChannelsIgnoringTopBit) {
    // 7FFF, 8000, then pure red 7C00 and blue 0x001F on a second row (rows kept).
    auto image = parse(tgaFile(2, 2, 2, 16, {0xFF, 0x7F, 0x00, 0x80, 0x00, 0x7C, 0x1F, 0x00}));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->bytesPerPixel, 3);
    EXPECT_EQ(image->data, (Bytes{0xF8, 0xF8, 0xF8, 0, 0, 0, 0xF8, 0, 0, 0, 0, 0xF8}));
}

TEST(TgaReader, RunLengthSixteenBit) {
    auto image = parse(tgaFile(10, 3, 1, 16, {130, 0x00, 0x7C}));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->data, (Bytes{0xF8, 0, 0, 0xF8, 0, 0, 0xF8, 0, 0}));
}

// A colour map in front of true-colour pixels: entries × whole bytes per
// entry, whatever index the map starts at.
Bytes withColourMap(Bytes file, int firstEntry, int entries, int entryBits) {
    file[1] = 1;
    file[3] = uint8_t(firstEntry);
    file[5] = uint8_t(entries);
    file[7] = uint8_t(entryBits);
    const size_t mapBytes = size_t(entries) * size_t((entryBits + 7) / 8);
    file.insert(file.begin() + 18, mapBytes, 0x5A);
    return file;
}

TEST(TgaReader, ColourMapInATrueColourFileIsSkipped) {
    const Bytes raw = tgaFile(2, 2, 2, 32, join({pixelA, pixelB, pixelC, pixelD}));
    auto image = parse(withColourMap(raw, 7, 3, 15));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->data, join({pixelC, pixelD, pixelA, pixelB}));
    image = parse(withColourMap(tgaFile(10, 3, 1, 24, {129, 10, 20, 30, 0, 40, 50, 60}), 0, 2, 24));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->data, (Bytes{30, 20, 10, 30, 20, 10, 60, 50, 40}));

    std::string out;
    Bytes cut = withColourMap(raw, 0, 255, 32);
    cut.resize(18 + 100);
    EXPECT_FALSE(parse(cut, &out));
    EXPECT_EQ(out, "Load_TGA() : width = 2 height = 2\ntga file mem.tga is truncated\n");
}

TEST(TgaReader, SixteenBitGreyIsGreyWithAlphaRawOrRunLength) {
    // Grey byte, then alpha. Uncompressed rows come out reversed, as in
    // deeper files; run-length rows keep the file order.
    auto raw = parse(tgaFile(3, 1, 2, 16, {0x10, 0x80, 0xF0, 0xFF}));
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->bytesPerPixel, 4);
    EXPECT_EQ(raw->data, (Bytes{0xF0, 0xF0, 0xF0, 0xFF, 0x10, 0x10, 0x10, 0x80}));
    auto packets = parse(tgaFile(11, 3, 1, 16, {129, 0x40, 0x20, 0, 0x99, 0x00}));
    ASSERT_TRUE(packets);
    EXPECT_EQ(packets->data, (Bytes{0x40, 0x40, 0x40, 0x20, 0x40, 0x40, 0x40, 0x20, 0x99, 0x99, 0x99, 0x00}));

    Bytes file = tgaFile(3, 1, 1, 16, {0x33, 0x44});
    std::unique_ptr<Image> image;
    captureConsole([&] { image = TgaLoader().loadFromBytes(file.data(), file.size(), "grey.tga"); });
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixels, (Bytes{0x33, 0x33, 0x33, 0x44}));
}

TEST(TgaReader, EightBitRefusedWithLoaderLine) {
    Bytes file = tgaFile(3, 1, 1, 8, {7});
    std::unique_ptr<Image> image;
    CapturedConsole console =
        captureConsole([&] { image = TgaLoader().loadFromBytes(file.data(), file.size(), "grey.tga"); });
    EXPECT_FALSE(image);
    EXPECT_EQ(console.out, "Load_TGA() : width = 1 height = 1\ntga loading failed for grey.tga\n");
}

// Every malformed file fails with a message; none reads or writes out of
// bounds (the sanitizer build checks that) or allocates for its header's claim.
TEST(TgaReader, MalformedFilesFailWithMessage) {
    struct Case {
        const char* what;
        Bytes file;
        const char* message;
    };
    const Case cases[] = {
        {"header cut short", Bytes(17, 0), "tga file mem.tga is truncated\n"},
        {"id field past the end", tgaHeader(2, 1, 1, 32, 10), "tga file mem.tga is truncated\n"},
        {"pixels missing", tgaFile(2, 2, 2, 32, join({pixelA, pixelB, pixelC})), "tga file mem.tga is truncated\n"},
        {"huge header, tiny file", tgaFile(2, 65535, 65535, 32, pixelA), "tga file mem.tga is truncated\n"},
        {"huge run-length header", tgaFile(10, 65535, 65535, 32, join({{255}, pixelA})),
         "tga file mem.tga is truncated\n"},
        {"run-length data ends", tgaFile(10, 2, 2, 32, join({{129}, pixelA})), "tga file mem.tga is truncated\n"},
        {"run pixel missing", tgaFile(10, 2, 2, 32, {129, 1, 2}), "tga file mem.tga is truncated\n"},
        {"run past last pixel", tgaFile(10, 2, 2, 32, join({{132}, pixelA})),
         "tga file mem.tga: run-length packet runs past the last pixel\n"},
        {"raw past last pixel", tgaFile(10, 2, 1, 32, join({{2}, pixelA, pixelB, pixelC})),
         "tga file mem.tga: run-length packet runs past the last pixel\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string out;
        EXPECT_FALSE(parse(c.file, &out));
        EXPECT_NE(out.find(c.message), std::string::npos) << out;
    }
}

TEST(TgaReader, EveryPrefixOfAFileIsHandled) {
    const Bytes files[] = {
        tgaFile(10, 4, 2, 32, join({{131}, pixelA, {3}, pixelB, pixelC, pixelD, pixelA})),
        tgaFile(2, 2, 2, 24, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}),
        tgaFile(2, 2, 1, 16, {1, 2, 3, 4}),
    };
    for (const Bytes& file : files) {
        for (size_t length = 0; length < file.size(); ++length) {
            Bytes prefix(file.begin(), file.begin() + long(length));
            EXPECT_FALSE(parse(prefix)) << "length " << length;
        }
        EXPECT_TRUE(parse(file));
    }
}

TEST(TgaLoader, DeliversBgraAndReportsTheData) {
    Bytes file = tgaFile(2, 1, 1, 24, {10, 20, 30});
    std::unique_ptr<Image> image;
    CapturedConsole console =
        captureConsole([&] { image = TgaLoader().loadFromBytes(file.data(), file.size(), "x.tga"); });
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixels, (Bytes{10, 20, 30, 255}));
    char expected[200];
    std::snprintf(expected, sizeof expected,
                  "Load_TGA() : width = 1 height = 1\nsuccess in loading.. data: %p, width: 1 height: 1\n",
                  static_cast<void*>(image->pixels.data()));
    EXPECT_EQ(console.out, expected);

    // 32-bit files are already B,G,R,A; 16-bit ones get alpha 255 too.
    Bytes deep = tgaFile(2, 1, 1, 32, pixelA);
    Bytes shallow = tgaFile(2, 1, 1, 16, {0xFF, 0x7F});
    captureConsole([&] {
        EXPECT_EQ(TgaLoader().loadFromBytes(deep.data(), deep.size(), "a")->pixels, pixelA);
        EXPECT_EQ(TgaLoader().loadFromBytes(shallow.data(), shallow.size(), "b")->pixels,
                  (Bytes{0xF8, 0xF8, 0xF8, 0xFF}));
    });
}

TEST(TgaLoader, ReadsFilesAndReportsMissingOnes) {
    ScratchDirectory scratch;
    writeBytes("pic.tga", tgaFile(2, 2, 2, 32, join({pixelA, pixelB, pixelC, pixelD})));
    std::unique_ptr<Image> image;
    captureConsole([&] { image = TgaLoader().load("pic.tga"); });
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixels, join({pixelC, pixelD, pixelA, pixelB}));

    CapturedConsole console = captureConsole([&] { image = TgaLoader().load("absent.tga"); });
    EXPECT_FALSE(image);
    EXPECT_EQ(console.out, "Error loading tga file absent.tga.\ntga loading failed for absent.tga\n");
}

}  // namespace
