// The bundled demo as the player will read it: a script every line of which
// the reader accepts, parameters of the kinds the effect types read,
// expressions that compile, files that exist in a form the player can use,
// and sync events that reach an effect reacting to them.
#include <gtest/gtest.h>

#include <fparser.hh>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

#include "script_outline.h"
#include "tempo.h"

namespace {

std::string demoDir() {
    const char* source = std::getenv("QUARN_SOURCE_DIR");
    return std::string(source ? source : ".") + "/demo";
}

std::vector<uint8_t> readBytes(const std::string& path) {
    bool ok = false;
    std::string text = readTextFile(path, ok);
    return ok ? std::vector<uint8_t>(text.begin(), text.end()) : std::vector<uint8_t>();
}

enum class Kind { Integer, Float, Text, Expression };

struct Param {
    Kind kind;
    const char* variables = "";  // for expressions
    bool knowsPi = false;
};

// What each effect type reads, and how.
const std::map<std::string, std::map<std::string, Param>> typeParameters = {
    {"Effect", {}},
    {"FxGLLayerObject",
     {{"textureFilename", {Kind::Text}},
      {"alphaFilename", {Kind::Text}},
      {"alpha", {Kind::Expression, "t"}},
      {"uscroll", {Kind::Expression, "t"}},
      {"vscroll", {Kind::Expression, "t"}},
      {"motionx", {Kind::Expression, "t"}},
      {"motiony", {Kind::Expression, "t"}},
      {"sizex", {Kind::Expression, "t"}},
      {"sizey", {Kind::Expression, "t"}},
      {"angle", {Kind::Expression, "t"}},
      {"transparency", {Kind::Text}}}},
    {"FxGLUVMap",
     {{"resolution", {Kind::Integer}},
      {"textureFilename", {Kind::Text}},
      {"u", {Kind::Expression, "x,y,r,a,t"}},
      {"v", {Kind::Expression, "x,y,r,a,t"}}}},
    {"FxRenderParametric",
     {{"function", {Kind::Expression, "x,y,r,a,t"}},
      {"resolutionx", {Kind::Integer}},
      {"resolutiony", {Kind::Integer}},
      {"object", {Kind::Text}},
      {"position.x", {Kind::Expression, "t"}},
      {"position.y", {Kind::Expression, "t"}},
      {"position.z", {Kind::Expression, "t"}},
      {"orientation.x", {Kind::Expression, "t"}},
      {"orientation.y", {Kind::Expression, "t"}},
      {"orientation.z", {Kind::Expression, "t"}},
      {"transparent", {Kind::Text}},
      {"textureFilename", {Kind::Text}},
      {"alphaFilename", {Kind::Text}},
      {"mapping", {Kind::Text}},
      {"envFilename", {Kind::Text}}}},
    {"FxRenderParticles",
     {{"position.x", {Kind::Expression, "t"}},
      {"position.y", {Kind::Expression, "t"}},
      {"position.z", {Kind::Expression, "t"}},
      {"orientation.x", {Kind::Expression, "t"}},
      {"orientation.y", {Kind::Expression, "t"}},
      {"orientation.z", {Kind::Expression, "t"}},
      {"particle.x", {Kind::Expression, "t,i,n", true}},
      {"particle.y", {Kind::Expression, "t,i,n", true}},
      {"particle.z", {Kind::Expression, "t,i,n", true}},
      {"alpha", {Kind::Expression, "t"}},
      {"particle.size", {Kind::Expression, "t"}},
      {"numParticles", {Kind::Integer}},
      {"textureFilename", {Kind::Text}}}},
    {"FxAsmParticles",
     {{"numParticles", {Kind::Integer}},
      {"particle.size", {Kind::Float}},
      {"calc", {Kind::Text}},
      {"textureFilename", {Kind::Text}}}},
};

const std::map<std::string, std::vector<std::string>> requiredParameters = {
    {"FxGLLayerObject", {"textureFilename", "alpha", "transparency"}},
    {"FxGLUVMap", {"textureFilename", "u", "v"}},
    {"FxRenderParametric", {"textureFilename"}},
    {"FxRenderParticles", {"numParticles", "textureFilename"}},
    {"FxAsmParticles", {"numParticles", "particle.size", "calc", "textureFilename"}},
};

const std::map<std::string, std::set<std::string>> reactingTypes = {
    {"zrotate", {"FxAsmParticles"}},
    {"offset", {"FxRenderParticles", "FxRenderParametric"}},
    {"pushback", {"FxRenderParametric"}},
};

bool isPowerOfTwo(int v) { return v > 0 && (v & (v - 1)) == 0; }

// Width and height from a TGA header or a JPEG start-of-frame marker;
// (0, 0) when the file is neither.
std::pair<int, int> pictureSize(const std::vector<uint8_t>& b) {
    if (b.size() > 4 && b[0] == 0xff && b[1] == 0xd8) {
        size_t at = 2;
        while (at + 9 < b.size() && b[at] == 0xff) {
            uint8_t marker = b[at + 1];
            size_t length = size_t(b[at + 2] << 8 | b[at + 3]);
            if (marker >= 0xc0 && marker <= 0xc2) return {b[at + 7] << 8 | b[at + 8], b[at + 5] << 8 | b[at + 6]};
            at += 2 + length;
        }
        return {0, 0};
    }
    if (b.size() > 18 && (b[2] == 2 || b[2] == 10) && (b[16] == 24 || b[16] == 32))
        return {b[12] | b[13] << 8, b[14] | b[15] << 8};
    return {0, 0};
}

class BundledDemo : public testing::Test {
protected:
    void SetUp() override {
        bool ok = false;
        scriptText = readTextFile(demoDir() + "/iDemo.dat", ok);
        ASSERT_TRUE(ok) << "no demo/iDemo.dat";
        script = readScriptOutline(scriptText);
        root = script.findInstance("iDemo");
        ASSERT_GE(root, 0);
    }
    const std::string& typeOf(int instance) const {
        return script.effects[size_t(script.instances[size_t(instance)].effect)].type;
    }
    std::string scriptText;
    ScriptOutline script;
    int root = -1;
};

}  // namespace

TEST_F(BundledDemo, ScriptIsReadWithoutAProblemAndEveryInstanceIsInTheTree) {
    for (const std::string& p : script.problems) ADD_FAILURE() << p;
    EXPECT_TRUE(script.endedWithBah);
    EXPECT_EQ(script.instances[size_t(root)].start, 0.0f);
    EXPECT_EQ(script.instances[size_t(root)].end, 1000.0f);
    std::set<int> placed;
    for (const PlacedInstance& p : placeInstances(script, root)) {
        EXPECT_TRUE(placed.insert(p.instance).second) << script.instances[size_t(p.instance)].name << " placed twice";
    }
    for (size_t i = 0; i < script.instances.size(); ++i)
        EXPECT_TRUE(placed.count(int(i))) << script.instances[i].name << " is never drawn";
}

TEST_F(BundledDemo, ParametersHaveTheKindsTheEffectsReadAndExpressionsCompile) {
    std::set<std::string> typesDrawn;
    for (const PlacedInstance& p : placeInstances(script, root)) typesDrawn.insert(typeOf(p.instance));
    EXPECT_EQ(typesDrawn.size(), typeParameters.size()) << "every effect type is shown";

    for (const ScriptEffect& effect : script.effects) {
        auto type = typeParameters.find(effect.type);
        ASSERT_NE(type, typeParameters.end()) << effect.name << ": unknown type " << effect.type;
        for (const ScriptParameter& p : effect.parameters) {
            auto known = type->second.find(p.name);
            if (known == type->second.end()) {
                ADD_FAILURE() << effect.name << ": " << effect.type << " reads no parameter " << p.name;
                continue;
            }
            const Param& want = known->second;
            const ValueKind stored = want.kind == Kind::Integer ? ValueKind::Integer
                                     : want.kind == Kind::Float ? ValueKind::Float
                                                                : ValueKind::Text;
            EXPECT_EQ(int(p.kind), int(stored)) << effect.name << "." << p.name << " (line " << p.line << ")";
            if (want.kind == Kind::Expression && p.kind == ValueKind::Text) {
                FunctionParser parser;
                if (want.knowsPi) parser.AddConstant("pi", 3.14159);
                int at = parser.Parse(p.value, want.variables);
                EXPECT_EQ(at, -1) << effect.name << "." << p.name << ": " << parser.ErrorMsg() << " in " << p.value;
            }
        }
        auto required = requiredParameters.find(effect.type);
        if (required != requiredParameters.end()) {
            for (const std::string& name : required->second)
                EXPECT_TRUE(effect.find(name)) << effect.name << " lacks " << name;
        }
        if (effect.type == "FxRenderParametric") {
            EXPECT_TRUE(effect.find("function") || effect.find("object")) << effect.name;
        }
        if (const ScriptParameter* t = effect.find("transparency")) {
            EXPECT_TRUE(t->value == "solid" || t->value == "additive" || t->value == "modulating")
                << effect.name << ": " << t->value;
        }
        if (const ScriptParameter* c = effect.find("calc")) {
            EXPECT_EQ(c->value, "Particles1");
        }
        if (const ScriptParameter* m = effect.find("mapping")) {
            EXPECT_EQ(m->value, "pregenerated");
        }
    }
}

TEST_F(BundledDemo, NamedFilesExistAsPowerOfTwoPicturesWithMatchingAlphaPictures) {
    std::set<std::string> modes;
    bool alphaPicture = false, environmentMap = false;
    for (const ScriptEffect& effect : script.effects) {
        for (const char* name : {"textureFilename", "alphaFilename", "envFilename", "object"}) {
            const ScriptParameter* p = effect.find(name);
            if (!p) continue;
            std::vector<uint8_t> bytes = readBytes(demoDir() + "/" + p->value);
            ASSERT_FALSE(bytes.empty()) << effect.name << ": missing " << p->value;
            if (std::string(name) == "object") {
                EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 12), "LWOB") << p->value;
                continue;
            }
            auto [w, h] = pictureSize(bytes);
            EXPECT_TRUE(isPowerOfTwo(w) && isPowerOfTwo(h)) << p->value << " is " << w << "x" << h;
        }
        if (const ScriptParameter* a = effect.find("alphaFilename")) {
            // The alpha merge pairs pixels by index: both pictures need one size.
            EXPECT_EQ(pictureSize(readBytes(demoDir() + "/" + a->value)),
                      pictureSize(readBytes(demoDir() + "/" + effect.find("textureFilename")->value)))
                << effect.name;
            alphaPicture = true;
        }
        if (effect.find("envFilename")) environmentMap = true;
        if (const ScriptParameter* t = effect.find("transparency")) modes.insert(t->value);
    }
    EXPECT_TRUE(alphaPicture);
    EXPECT_TRUE(environmentMap);
    EXPECT_EQ(modes.size(), 3u);
}

TEST_F(BundledDemo, EverySecondUpToTheEndShowsSomething) {
    for (double t = 0; t <= 255.0; t += 0.25) {
        bool drawing = false;
        for (int i : activeInstances(script, root, float(t))) drawing = drawing || typeOf(i) != "Effect";
        EXPECT_TRUE(drawing) << "nothing drawn at " << t;
    }
}

// Windows include both ends: scenes that touch would both be drawn in the
// frame at the seam, which then costs as much as two.
TEST_F(BundledDemo, NoFrameAtSixtyAFrameDrawsTwoScenes) {
    const std::vector<int>& scenes = script.instances[size_t(root)].children;
    for (int frame = 0; frame <= 255 * 60; ++frame) {
        const float t = float(frame) / 60.0f;
        int drawn = 0;
        for (int i : activeInstances(script, root, t))
            drawn += std::find(scenes.begin(), scenes.end(), i) != scenes.end();
        ASSERT_LE(drawn, 1) << "two scenes at " << t;
    }
}

TEST_F(BundledDemo, SyncEventsFallOnBeatsAndReachEffectsThatReactToThem) {
    bool ok = false;
    std::string text = readTextFile(demoDir() + "/test.dat", ok);
    ASSERT_TRUE(ok);
    ASSERT_FALSE(text.empty());
    ASSERT_EQ(text.back(), '\n');
    std::istringstream lines(text);
    std::string line;
    double previous = -1;
    std::set<std::string> names;
    int count = 0;
    while (std::getline(lines, line)) {
        ASSERT_FALSE(line.empty()) << "an empty line ends the sync file early";
        ASSERT_LE(line.size(), 255u);
        ASSERT_EQ(line.find('\t'), std::string::npos);
        std::istringstream fields(line);
        std::string timeText, name;
        int target = -1;
        ASSERT_TRUE(fields >> timeText >> name >> target) << line;
        const double time = std::atof(timeText.c_str());
        const double beats = time / tempo::secondsPerBeat;
        EXPECT_NEAR(beats, std::round(beats), 1e-6) << line << ": not on a beat";
        // One event per frame: a gap keeps each on time at any frame rate.
        EXPECT_GE(time - previous, 0.25) << line;
        previous = time;
        // Delivery can be a frame or two late: the target must hold then too.
        for (double late : {0.0, 0.1}) {
            std::vector<int> active = activeInstances(script, root, float(time + late));
            ASSERT_LT(size_t(target), active.size()) << line;
            EXPECT_TRUE(reactingTypes.at(name).count(typeOf(active[size_t(target)])))
                << line << ": reaches " << script.instances[size_t(active[size_t(target)])].name;
        }
        names.insert(name);
        ++count;
    }
    EXPECT_EQ(names.size(), 3u);
    EXPECT_GT(count, 50);
}

TEST(BundledDemoFiles, MusicIs44kHzMpegAndTheFolderStaysUnderThreeMegabytes) {
    std::vector<uint8_t> mp3 = readBytes(demoDir() + "/demomusik.mp3");
    ASSERT_GT(mp3.size(), 1000u);
    size_t at = 0;
    if (mp3[0] == 'I' && mp3[1] == 'D' && mp3[2] == '3')  // skip an ID3v2 tag
        at = 10 + (size_t(mp3[6] & 0x7f) << 21 | size_t(mp3[7] & 0x7f) << 14 | size_t(mp3[8] & 0x7f) << 7 |
                   size_t(mp3[9] & 0x7f));
    ASSERT_LT(at + 4, mp3.size());
    ASSERT_EQ(mp3[at], 0xff);
    EXPECT_EQ(mp3[at + 1] & 0xfe, 0xfa) << "MPEG-1 layer III";
    EXPECT_EQ((mp3[at + 2] >> 2) & 3, 0) << "sample rate index 0 is 44.1 kHz";

    uintmax_t total = 0;
    for (const auto& entry : std::filesystem::directory_iterator(demoDir()))
        if (entry.is_regular_file()) total += entry.file_size();
    EXPECT_LT(total, 3u * 1024 * 1024);
}
