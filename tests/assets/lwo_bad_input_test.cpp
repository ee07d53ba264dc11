// Hand-edited or damaged objects: chunks of size zero, sizes that claim more
// than the file holds, and polygon records that do not fit.
#include <gtest/gtest.h>

#include <string>

#include "assets/lwo_reader.h"
#include "support/lwo_bytes.h"

namespace {

struct Parsed {
    bool accepted;
    int points;
    int polygons;
    std::string report;
};

Parsed parse(const Bytes& bytes) {
    LwoObject object;
    testing::internal::CaptureStdout();
    const bool accepted = object.parse(bytes.data(), bytes.size());
    return {accepted, object.pointCount(), object.polygonCount(), testing::internal::GetCapturedStdout()};
}

}  // namespace

TEST(LwoBadInput, ZeroLengthChunksAreEmptyAndTheWalkGoesOn) {
    const Bytes points = lwoPoints({0, 0, 0, 1, 0, 0, 0, 1, 0});
    const Bytes triangle = lwoPolygons({{0, 1, 2}});
    const Parsed empty = parse(lwoFile({lwoChunk("PNTS", {}), lwoChunk("POLS", {}), lwoChunk("XXXX", {})}));
    EXPECT_TRUE(empty.accepted);
    EXPECT_EQ(empty.points, 0);
    EXPECT_EQ(empty.polygons, 0);
    EXPECT_EQ(empty.report, "");

    const Parsed after = parse(lwoFile({lwoChunk("SURF", {}), points, lwoChunk("SRFS", {}), triangle}));
    EXPECT_TRUE(after.accepted);
    EXPECT_EQ(after.points, 3);
    EXPECT_EQ(after.polygons, 1);

    // A later empty chunk replaces what the earlier one read.
    const Parsed replaced = parse(lwoFile({points, triangle, lwoChunk("PNTS", {}), lwoChunk("POLS", {})}));
    EXPECT_TRUE(replaced.accepted);
    EXPECT_EQ(replaced.points, 0);
    EXPECT_EQ(replaced.polygons, 0);
}

TEST(LwoBadInput, SizesPastTheDataAreRefusedLeavingNothing) {
    const Bytes points = lwoPoints({0, 0, 0, 1, 0, 0, 0, 1, 0});
    for (uint32_t formSize : {0u, 3u}) {
        Bytes file = lwoFile({});
        file[4] = file[5] = file[6] = 0;
        file[7] = uint8_t(formSize);
        const Parsed small = parse(file);
        EXPECT_FALSE(small.accepted) << formSize;
        EXPECT_EQ(small.report, "lwo FORM size is too small\n");
    }

    Bytes hugeForm = lwoFile({points});
    hugeForm[4] = hugeForm[5] = hugeForm[6] = hugeForm[7] = 0xFF;
    EXPECT_EQ(parse(hugeForm).report, "lwo file is shorter than its FORM size\n");

    Bytes hugeChunk = lwoFile({points});
    hugeChunk[16] = hugeChunk[17] = hugeChunk[18] = hugeChunk[19] = 0xFF;  // PNTS size
    const Parsed chunk = parse(hugeChunk);
    EXPECT_FALSE(chunk.accepted);
    EXPECT_EQ(chunk.points, 0);
    EXPECT_EQ(chunk.report, "lwo chunk PNTS runs past the end of the data\n");

    // 65535 indices announced, two given.
    const Parsed record = parse(lwoFile({points, lwoChunk("POLS", {0xFF, 0xFF, 0, 1, 0, 2})}));
    EXPECT_FALSE(record.accepted);
    EXPECT_EQ(record.points, 0);
    EXPECT_EQ(record.report, "lwo polygon record runs past its chunk\n");
}

TEST(LwoBadInput, PolygonsWithoutIndicesOrWithUnknownPointsAreReadAsWritten) {
    // Whether they can be drawn is the mesh builder's question, not the reader's.
    const Parsed parsed =
        parse(lwoFile({lwoPoints({0, 0, 0}), lwoChunk("POLS", {0, 0, 0, 1}), lwoPolygons({{0, 7, 65535}})}));
    EXPECT_TRUE(parsed.accepted);
    EXPECT_EQ(parsed.points, 1);
    EXPECT_EQ(parsed.polygons, 1);  // the second POLS replaced the first
}
