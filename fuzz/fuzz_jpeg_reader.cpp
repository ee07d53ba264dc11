// Feeds arbitrary bytes to the JPEG reader.
#include <cstddef>
#include <cstdint>

#include "assets/jpeg_reader.h"

// A few header bytes can claim 8192 x 8192 pixels, which libjpeg then
// decodes in full from nothing: seconds per input under the sanitizers.
// Larger claims are refused here only; the player keeps its own limit.
// 512 x 512 pixels still take every path of the reader (many rows of
// blocks, every colour layout) at a few milliseconds an input.
constexpr size_t fuzzMaxPixels = size_t(1) << 18;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    JpegLoader().loadFromBytes(data, size, fuzzMaxPixels);
    return 0;
}
