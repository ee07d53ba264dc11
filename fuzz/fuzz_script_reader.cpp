// Feeds arbitrary bytes to the demo script reader.
#include <cstddef>
#include <cstdint>
#include <string>

#include "framework/effect_instance.h"
#include "framework/script_reader.h"
#include "support/null_render_state.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    NullRenderState renderState;
    ScriptReader reader(ScriptReaderSetup{.waitForKey = nullptr});
    EffectInstance* root =
        reader.loadFromText(std::string(reinterpret_cast<const char*>(data), size), "iDemo.dat", renderState);
    if (root != nullptr) {
        root->render(1.0f, renderState);
        root->collectActive(1.0f);
    }
    return 0;
}
