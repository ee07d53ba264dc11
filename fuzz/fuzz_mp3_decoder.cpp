// Music files of any bytes must decode or be refused, never overrun.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/audio_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<int16_t> pcm;
    decodeMp3(data, size, pcm);
    return 0;
}
