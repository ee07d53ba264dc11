// Feeds arbitrary bytes to the JPEG reader.
#include <cstddef>
#include <cstdint>

#include "assets/jpeg_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    JpegLoader().loadFromBytes(data, size);
    return 0;
}
