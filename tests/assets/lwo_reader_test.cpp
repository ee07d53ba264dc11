#include "assets/lwo_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/lwo_bytes.h"

namespace {

bool parse(LwoObject& object, const Bytes& bytes) { return object.parse(bytes.data(), bytes.size()); }

const Bytes triangle = lwoPoints({0.0f, 0.0f, 0.0f, 1.5f, -2.0f, 0.25f, 0.0f, 1.0f, 0.0f});
const Bytes quadAndTriangle = lwoPolygons({{0, 1, 2, 1}, {2, 1, 0}});

void expectQuadAndTriangle(const LwoObject& object) {
    ASSERT_EQ(object.polygonCount(), 2);
    EXPECT_EQ(object.polygons[0].indices, (std::vector<uint16_t>{0, 1, 2, 1}));
    EXPECT_EQ(object.polygons[0].surface, 1);
    EXPECT_EQ(object.polygons[1].indices, (std::vector<uint16_t>{2, 1, 0}));
}

}  // namespace

TEST(LwoReader, ReadsBigEndianPointsAndPolygonRecordsBackToBack) {
    LwoObject object;
    ASSERT_TRUE(parse(object, lwoFile({triangle, quadAndTriangle})));
    ASSERT_EQ(object.pointCount(), 3);
    EXPECT_EQ(object.points[1].x, 1.5f);
    EXPECT_EQ(object.points[1].y, -2.0f);
    EXPECT_EQ(object.points[1].z, 0.25f);
    // The 4-index record takes 12 bytes; the next begins right after it.
    EXPECT_EQ(quadAndTriangle.size(), 8u + 12u + 10u);
    expectQuadAndTriangle(object);
}

TEST(LwoReader, FormSizeFourIsAnEmptyObject) {
    LwoObject object;
    EXPECT_TRUE(parse(object, lwoFile({})));
    EXPECT_EQ(object.pointCount(), 0);
    EXPECT_EQ(object.polygonCount(), 0);
}

TEST(LwoReader, OddChunksAreReadWithOrWithoutTheirPadByte) {
    // The pad after an odd chunk is a zero; a writer that leaves it out puts
    // the next identifier there instead.
    Bytes padded = lwoChunk("TEXT", {'a', 'b', 'c'});
    padded.push_back(0);
    LwoObject object;
    ASSERT_TRUE(parse(object, lwoFile({padded, triangle, padded, quadAndTriangle, padded})));
    EXPECT_EQ(object.pointCount(), 3);
    expectQuadAndTriangle(object);

    Bytes data;
    for (float value : {1.0f, 2.0f, 3.0f}) appendBigEndianFloat(data, value);
    data.push_back(0xEE);  // 13 bytes: one point and a stray byte
    ASSERT_TRUE(parse(object, lwoFile({lwoChunk("PNTS", data), quadAndTriangle})));
    ASSERT_EQ(object.pointCount(), 1);
    EXPECT_EQ(object.points[0].z, 3.0f);
    expectQuadAndTriangle(object);
}

TEST(LwoReader, DetailPolygonsFollowTheirPolygonAsPolygonsOfTheirOwn) {
    // Quad of surface 2 with one detail triangle (surface 1), then a
    // triangle of surface 3. 0xFFFE is -2.
    Bytes data;
    for (uint16_t word : {4, 0, 1, 2, 1, 0xFFFE, 1, 3, 2, 1, 0, 1, 3, 0, 2, 1, 3}) appendBigEndian16(data, word);
    LwoObject object;
    ASSERT_TRUE(parse(object, lwoFile({triangle, lwoChunk("POLS", data)})));
    ASSERT_EQ(object.polygonCount(), 3);
    EXPECT_EQ(object.polygons[0].indices, (std::vector<uint16_t>{0, 1, 2, 1}));
    EXPECT_EQ(object.polygons[0].surface, 2);
    EXPECT_EQ(object.polygons[1].indices, (std::vector<uint16_t>{2, 1, 0}));
    EXPECT_EQ(object.polygons[1].surface, 1);
    EXPECT_EQ(object.polygons[2].indices, (std::vector<uint16_t>{0, 2, 1}));
    EXPECT_EQ(object.polygons[2].surface, 3);
}

TEST(LwoReader, SurfaceChunksAnywhereAreSkipped) {
    const Bytes srfs = lwoChunk("SRFS", {'D', 'e', 'f', 'a', 'u', 'l', 't', 0});
    const Bytes surf = lwoChunk("SURF", {'D', 'e', 'f', 0, 'C', 'O', 'L', 'R', 0, 4, 1, 2, 3, 0});
    for (const Bytes& file :
         {lwoFile({srfs, surf, triangle, quadAndTriangle}), lwoFile({triangle, srfs, quadAndTriangle, surf})}) {
        LwoObject object;
        ASSERT_TRUE(parse(object, file));
        EXPECT_EQ(object.pointCount(), 3);
        expectQuadAndTriangle(object);
    }
}

TEST(LwoReader, SecondPointOrPolygonChunkReplacesTheFirst) {
    LwoObject object;
    ASSERT_TRUE(
        parse(object, lwoFile({triangle, lwoPolygons({{0, 0, 0}}), lwoPoints({7.0f, 8.0f, 9.0f}), quadAndTriangle})));
    ASSERT_EQ(object.pointCount(), 1);
    EXPECT_EQ(object.points[0].x, 7.0f);
    expectQuadAndTriangle(object);
}

TEST(LwoReader, RejectsOtherTypesAndDamagedDataLeavingTheObjectEmpty) {
    const Bytes good = lwoFile({triangle, quadAndTriangle});
    Bytes lwo2 = lwoFile({triangle}, "LWO2");
    Bytes notForm = good;
    notForm[0] = 'f';
    Bytes truncated(good.begin(), good.end() - 3);
    Bytes claimsTooMuch = good;
    claimsTooMuch[7] += 4;  // FORM size beyond the data
    Bytes chunkOverrun = lwoFile({lwoChunk("SURF", {1, 2})});
    chunkOverrun[19] = 200;  // SURF claims 200 bytes
    Bytes recordOverrun = lwoFile({triangle, lwoChunk("POLS", {0, 3, 0, 0, 0, 1})});
    Bytes halfHeader = lwoFile({triangle, Bytes{'P', 'O', 'L'}});
    Bytes detailCountMissing = lwoFile({triangle, lwoChunk("POLS", {0, 3, 0, 0, 0, 1, 0, 2, 0xFF, 0xFF})});
    Bytes tooShort(good.begin(), good.begin() + 10);

    struct Case {
        const char* name;
        const Bytes* bytes;
        const char* report;
    };
    const Case cases[] = {
        {"LWO2", &lwo2, ""},
        {"not FORM", &notForm, ""},
        {"shorter than 12", &tooShort, ""},
        {"truncated", &truncated, "lwo file is shorter than its FORM size\n"},
        {"FORM size too big", &claimsTooMuch, "lwo file is shorter than its FORM size\n"},
        {"chunk overrun", &chunkOverrun, "lwo chunk SURF runs past the end of the data\n"},
        {"record overrun", &recordOverrun, "lwo polygon record runs past its chunk\n"},
        {"half a chunk header", &halfHeader, "lwo chunk header runs past the end of the data\n"},
        {"detail count missing", &detailCountMissing, "lwo polygon record runs past its chunk\n"},
    };
    for (const Case& c : cases) {
        LwoObject object;
        object.points.resize(2);  // left over from an earlier parse
        testing::internal::CaptureStdout();
        EXPECT_FALSE(parse(object, *c.bytes)) << c.name;
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.report) << c.name;
        EXPECT_EQ(object.pointCount(), 0) << c.name;
        EXPECT_EQ(object.polygonCount(), 0) << c.name;
    }
}

TEST(LwoReader, LoadsAFileWithItsProgressLines) {
    const std::string path = testing::TempDir() + "lwo_reader_test.lwo";
    const Bytes file = lwoFile({triangle, quadAndTriangle});
    writeBytesToFile(path, file);
    testing::internal::CaptureStdout();
    auto object = loadLwoObject(path);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "file size: " + std::to_string(file.size()) +
                  "\nread the data, about to read to lwo object\nabout to close file\n");
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->pointCount(), 3);
    expectQuadAndTriangle(*object);
    std::remove(path.c_str());
}

TEST(LwoReader, ShortOrMissingFilesFailWithoutReadingPastTheData) {
    const std::string path = testing::TempDir() + "lwo_reader_short.lwo";
    Bytes file = lwoFile({triangle, quadAndTriangle});
    const std::string size = std::to_string(file.size());
    file.resize(file.size() - 5);
    writeBytesToFile(path, file);
    testing::internal::CaptureStdout();
    auto object = loadLwoObject(path);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "file size: " + size +
                  "\nread the data, about to read to lwo object\n"
                  "lwo file is shorter than its FORM size\nabout to close file\n");
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->pointCount(), 0);

    writeBytesToFile(path, Bytes{'F', 'O', 'R', 'M'});
    testing::internal::CaptureStdout();
    EXPECT_EQ(loadLwoObject(path), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "lwo file too short\n");
    std::remove(path.c_str());

    testing::internal::CaptureStdout();
    EXPECT_EQ(loadLwoObject(path), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "failed to load lwo file\n");
}

TEST(LwoReader, BundledDemoObjectsParseWithEveryIndexInRange) {
    const char* root = std::getenv("QUARN_SOURCE_DIR");
    const std::string demo = std::string(root != nullptr ? root : ".") + "/demo/";
    for (const char* name : {"torus.lwo", "sphere.lwo", "ring.lwo"}) {
        testing::internal::CaptureStdout();
        auto object = loadLwoObject(demo + name);
        testing::internal::GetCapturedStdout();
        ASSERT_NE(object, nullptr) << name;
        EXPECT_GT(object->pointCount(), 0) << name;
        EXPECT_GT(object->polygonCount(), 0) << name;
        for (const LwoPolygon& polygon : object->polygons) {
            EXPECT_GE(polygon.indices.size(), 3u) << name;
            for (uint16_t index : polygon.indices) ASSERT_LT(index, object->pointCount()) << name;
        }
    }
}
