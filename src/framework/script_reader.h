#pragma once
// Reads the demo script: defines effects with parameters, creates instances
// in time windows and links them into a tree. Owns everything it creates: the
// player keeps its reader for the whole run, and destroying a reader destroys
// every effect and instance it read.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "assets/asset_reading.h"
#include "framework/demo_limits.h"
#include "framework/effect.h"
#include "framework/key_press.h"

class EffectInstance;
class RenderState;
class ScriptListener;

// Skipped at the very start of a script or sync file.
constexpr std::string_view utf8ByteOrderMark = "\xEF\xBB\xBF";

// What a reader works with besides the script.
struct ScriptReaderSetup {
    // The tables' sizes; the caps go on to every effect's init.
    DemoLimits limits;
    // The pause after a broken block; null for none, which callers that
    // must not hold up the run (live authoring, the checker) give.
    void (*waitForKey)() = waitForConsoleKey;
    // Hears every parameter each effect's init asks for; null for nobody.
    ParameterReadHook parameterReads = nullptr;
};

// How one script is read: where its bytes and the effects' pictures and
// objects come from, and who hears what is found.
struct ScriptReading {
    FileReader readFile;  // empty: from disk
    ScriptListener* listener = nullptr;
    // Hears the pictures and objects the effects load in their init.
    AssetListener* assets = nullptr;
};

// The root instance's name for a script path: its base name up to the
// first ".".
std::string rootNameOfScript(const std::string& path);

class ScriptReader {
public:
    explicit ScriptReader(const ScriptReaderSetup& setup = {});
    ~ScriptReader();
    ScriptReader(const ScriptReader&) = delete;
    ScriptReader& operator=(const ScriptReader&) = delete;

    void registerType(std::unique_ptr<Effect> prototype);
    // Reads the script file and calls every effect's init, which uploads
    // through renderState; returns the instance named after the path up to
    // its first "." or null.
    EffectInstance* load(const std::string& path, RenderState& renderState, const ScriptReading& reading = {});
    // The same, but calls no effect's init: nothing is loaded and no GL is
    // needed (for checking a script).
    EffectInstance* loadWithoutInit(const std::string& path, const ScriptReading& reading = {});
    // The same for script text held in memory; path only names the script
    // (messages and the root name come from it).
    EffectInstance* loadFromText(const std::string& text, const std::string& path, RenderState& renderState);
    // Reads script text as loadFromText does, printing the same, but calls no
    // effect's init; tells listener what it finds on each line.
    EffectInstance* readWithoutInit(const std::string& text, const std::string& path, ScriptListener& listener);

    // The first instance of that name, or null.
    EffectInstance* findInstance(std::string_view name) const;

    // The files the effects read name (pictures, alpha and environment
    // maps, objects), each once, in script order.
    std::vector<std::string> namedFiles() const;

    // Everything one reader has read; defined with the parser.
    struct State;

private:
    void parse(const std::string& text);
    // renderState null: no effect's init is called.
    EffectInstance* loadFile(const std::string& path, RenderState* renderState, const ScriptReading& reading);
    // Calls every effect's init when renderState is given.
    EffectInstance* finish(const std::string& path, RenderState* renderState, const ScriptReading& reading);

    std::unique_ptr<State> state;
};
