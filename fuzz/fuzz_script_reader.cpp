// Feeds arbitrary bytes to the demo script reader.
#include <cstddef>
#include <cstdint>
#include <string>

#include "framework/effect_instance.h"
#include "framework/script_reader.h"
#include "platform/player_context.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    PlayerContext context;
    context.waitForKey = [] {};
    PlayerContextScope scope(context);
    ScriptReader reader;
    EffectInstance* root = reader.loadFromText(std::string(reinterpret_cast<const char*>(data), size), "iDemo.dat");
    if (root != nullptr) {
        root->render(1.0f);
        root->collectActive(1.0f);
    }
    return 0;
}
