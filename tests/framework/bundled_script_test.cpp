// The bundled demo's script and sync file read by the player's own reader
// and instance tree (the effect types stand in as journal doubles).
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>

#include "framework/effect_instance.h"
#include "framework/script_reader.h"
#include "framework_test_helpers.h"
#include "player/effect_types.h"
#include "support/null_render_state.h"

namespace {

std::string readDemoFile(const std::string& name) {
    const char* source = std::getenv("QUARN_SOURCE_DIR");
    std::ifstream in(std::string(source ? source : ".") + "/demo/" + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

TEST(BundledScript, ReadsWithoutDiagnosticsAndSyncTargetsReactToTheirEvents) {
    const std::string script = readDemoFile("iDemo.dat");
    ASSERT_FALSE(script.empty());
    std::vector<std::string> journal;
    ScriptReader reader;
    for (const std::string& type : effectTypeNames())
        reader.registerType(std::make_unique<JournalEffect>(type, &journal));

    EffectInstance* root = nullptr;
    NullRenderState renderState;
    Console console = captureConsole([&] { root = reader.loadFromText(script, "iDemo.dat", renderState); });
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(console.err, "");
    for (const std::string& line : linesOf(console.out)) {
        if (line.rfind("tk: ", 0) != 0) continue;
        static const std::set<std::string> statements = {"tk: defineEffect!", "tk: createInstance!", "tk: addChild!",
                                                         "tk: bah!"};
        EXPECT_TRUE(statements.count(line)) << line;
    }

    const std::map<std::string, std::set<std::string>> reacting = {
        {"zrotate", {"FxAsmParticles"}},
        {"offset", {"FxRenderParticles", "FxRenderParametric"}},
        {"pushback", {"FxRenderParametric"}}};
    std::istringstream sync(readDemoFile("test.dat"));
    std::string line;
    int events = 0;
    while (std::getline(sync, line)) {
        std::istringstream fields(line);
        std::string time, name;
        int target = -1;
        ASSERT_TRUE(fields >> time >> name >> target) << line;
        std::vector<EffectInstance*> active = root->collectActive(float(std::atof(time.c_str())));
        ASSERT_GE(target, 0) << line;
        ASSERT_LT(std::size_t(target), active.size()) << line;
        EXPECT_TRUE(reacting.at(name).count(active[std::size_t(target)]->getEffect()->typeName())) << line;
        ++events;
    }
    EXPECT_GT(events, 50);
}
