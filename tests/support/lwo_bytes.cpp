#include "support/lwo_bytes.h"

#include <cstdio>
#include <cstring>

void appendBigEndian32(Bytes& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

void appendBigEndian16(Bytes& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value));
}

void appendBigEndianFloat(Bytes& out, float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    appendBigEndian32(out, bits);
}

Bytes lwoChunk(const char* id, const Bytes& data) {
    Bytes out(id, id + 4);
    appendBigEndian32(out, static_cast<uint32_t>(data.size()));
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

Bytes lwoPoints(const std::vector<float>& xyz) {
    Bytes data;
    for (float value : xyz) appendBigEndianFloat(data, value);
    return lwoChunk("PNTS", data);
}

Bytes lwoPolygons(const std::vector<std::vector<uint16_t>>& polygons) {
    Bytes data;
    for (const auto& polygon : polygons) {
        appendBigEndian16(data, static_cast<uint16_t>(polygon.size()));
        for (uint16_t index : polygon) appendBigEndian16(data, index);
        appendBigEndian16(data, 1);
    }
    return lwoChunk("POLS", data);
}

Bytes lwoFile(const std::vector<Bytes>& chunks, const char* type) {
    Bytes body(type, type + 4);
    for (const Bytes& chunk : chunks) body.insert(body.end(), chunk.begin(), chunk.end());
    Bytes out{'F', 'O', 'R', 'M'};
    appendBigEndian32(out, static_cast<uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

void writeBytesToFile(const std::string& path, const Bytes& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return;
    // An empty vector's data() may be null, which fwrite must not get.
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}
