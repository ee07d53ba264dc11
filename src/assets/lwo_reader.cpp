#include "assets/lwo_reader.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "assets/asset_reading.h"
#include "platform/report.h"

uint32_t readBigEndianU32(const uint8_t* bytes) {
    return (uint32_t(bytes[0]) << 24) | (uint32_t(bytes[1]) << 16) | (uint32_t(bytes[2]) << 8) | uint32_t(bytes[3]);
}

uint16_t readBigEndianU16(const uint8_t* bytes) { return static_cast<uint16_t>((bytes[0] << 8) | bytes[1]); }

float readBigEndianFloat(const uint8_t* bytes) {
    const uint32_t bits = readBigEndianU32(bytes);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

namespace {

bool readPoints(const uint8_t* data, uint32_t size, LwoObject& object) {
    const uint32_t count = size / 12;
    object.points.assign(count, Vec3());
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* p = data + 12 * i;
        object.points[i].set(readBigEndianFloat(p), readBigEndianFloat(p + 4), readBigEndianFloat(p + 8));
    }
    return true;
}

bool readPolygons(const uint8_t* data, uint32_t size, LwoObject& object) {
    object.polygons.clear();
    object.polygons.reserve(size / 6);
    uint32_t used = 0;
    while (used < size) {
        if (size - used < 2) {
            QUARN_REPORT(Output, "lwo polygon record runs past its chunk\n");
            return false;
        }
        const uint32_t count = readBigEndianU16(data + used);
        const uint32_t recordSize = 2 * count + 4;
        if (recordSize > size - used) {
            QUARN_REPORT(Output, "lwo polygon record runs past its chunk\n");
            return false;
        }
        LwoPolygon polygon;
        polygon.indices.resize(count);
        for (uint32_t k = 0; k < count; ++k) polygon.indices[k] = readBigEndianU16(data + used + 2 + 2 * k);
        const int16_t surface = static_cast<int16_t>(readBigEndianU16(data + used + 2 + 2 * count));
        polygon.surface = std::abs(int32_t(surface));
        object.polygons.push_back(std::move(polygon));
        used += recordSize;
        if (surface < 0) {
            // A negative surface number announces detail polygons: their
            // count comes next, then the detail polygons as ordinary records.
            if (size - used < 2) {
                QUARN_REPORT(Output, "lwo polygon record runs past its chunk\n");
                return false;
            }
            used += 2;
        }
    }
    return true;
}

bool parseChunks(const uint8_t* data, size_t size, LwoObject& object) {
    if (size < 12 || std::memcmp(data, "FORM", 4) != 0 || std::memcmp(data + 8, "LWOB", 4) != 0) return false;
    const uint64_t declaredEnd = uint64_t(readBigEndianU32(data + 4)) + 8;
    if (declaredEnd < 12) {
        QUARN_REPORT(Output, "lwo FORM size is too small\n");
        return false;
    }
    if (declaredEnd > size) {
        QUARN_REPORT(Output, "lwo file is shorter than its FORM size\n");
        return false;
    }
    // Trailing bytes beyond the FORM are not part of the object.
    const size_t end = static_cast<size_t>(declaredEnd);
    size_t offset = 12;
    while (offset < end) {
        if (end - offset < 8) {
            QUARN_REPORT(Output, "lwo chunk header runs past the end of the data\n");
            return false;
        }
        const uint8_t* header = data + offset;
        const uint32_t chunkSize = readBigEndianU32(header + 4);
        if (chunkSize > end - offset - 8) {
            QUARN_REPORTF(Output, "lwo chunk %.4s runs past the end of the data\n",
                          reinterpret_cast<const char*>(header));
            return false;
        }
        const uint8_t* chunk = header + 8;
        if (std::memcmp(header, "PNTS", 4) == 0) {
            if (!readPoints(chunk, chunkSize, object)) return false;
        } else if (std::memcmp(header, "POLS", 4) == 0) {
            if (!readPolygons(chunk, chunkSize, object)) return false;
        }
        offset += 8 + size_t(chunkSize);
        // A chunk of odd size is followed by a zero pad byte. No chunk
        // identifier starts with a zero, so files whose writer left the pad
        // out are still read.
        if (chunkSize % 2 == 1 && offset < end && data[offset] == 0) ++offset;
    }
    return true;
}

}  // namespace

bool LwoObject::parse(const uint8_t* data, size_t size) {
    points.clear();
    polygons.clear();
    if (data == nullptr || !parseChunks(data, size, *this)) {
        points.clear();
        polygons.clear();
        return false;
    }
    return true;
}

std::unique_ptr<LwoObject> loadLwoObject(const std::string& fileName) {
    ObjectFacts facts;
    facts.fileName = fileName;
    AssetListener* listener = assetListener();
    const auto told = [&](std::unique_ptr<LwoObject> object) {
        if (listener != nullptr) listener->objectRead(facts);
        return object;
    };
    std::vector<uint8_t> bytes;
    if (!readAssetFile(fileName, bytes, &facts.reason)) {
        QUARN_REPORT(Output, "failed to load lwo file\n");
        return told(nullptr);
    }
    facts.opened = true;
    if (bytes.size() < 8) {
        QUARN_REPORT(Output, "lwo file too short\n");
        return told(nullptr);
    }
    // The FORM size is only a claim: never read more than the file holds.
    const uint64_t length = uint64_t(readBigEndianU32(bytes.data() + 4)) + 8;
    QUARN_REPORTF(Output, "file size: %i\n", static_cast<int>(static_cast<uint32_t>(length)));
    const size_t blockSize = length < bytes.size() ? size_t(length) : bytes.size();
    QUARN_REPORT(Output, "read the data, about to read to lwo object\n");

    auto object = std::make_unique<LwoObject>();
    // A short block fails the parse's own size check.
    facts.parsed = object->parse(bytes.data(), blockSize);
    facts.polygons = object->polygonCount();
    QUARN_REPORT(Output, "about to close file\n");
    return told(std::move(object));
}
