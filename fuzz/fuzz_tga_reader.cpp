// Feeds arbitrary bytes to the TGA reader.
#include <cstddef>
#include <cstdint>

#include "assets/tga_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TgaLoader().loadFromBytes(data, size, "fuzz.tga");
    return 0;
}
