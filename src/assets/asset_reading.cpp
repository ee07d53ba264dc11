#include "assets/asset_reading.h"

#include <utility>

#include "platform/file_bytes.h"

namespace {

AssetReading& current() {
    static AssetReading reading;
    return reading;
}

}  // namespace

bool readAssetFile(const std::string& path, std::vector<uint8_t>& bytes, std::string* reason, uint64_t maxBytes) {
    const AssetReading& reading = current();
    if (reading.readFile) return reading.readFile(path, bytes, reason, maxBytes);
    return readFileBytes(path, bytes, reason, maxBytes);
}

AssetListener* assetListener() { return current().listener; }

AssetReadingScope::AssetReadingScope(AssetReading reading) : previous(std::exchange(current(), std::move(reading))) {}

AssetReadingScope::~AssetReadingScope() { current() = std::move(previous); }
