#include "framework/script_reader.h"

#include <algorithm>
#include <cstdio>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "framework/effect.h"
#include "framework/effect_instance.h"
#include "framework/effect_registry.h"
#include "framework/script_lines.h"
#include "framework/script_listener.h"
#include "framework/script_numbers.h"
#include "platform/file_bytes.h"
#include "platform/report.h"

namespace {

struct EffectEntry {
    std::string name;
    Effect* effect;  // null when the type was not registered
};

struct InstanceEntry {
    std::string name;
    EffectInstance* instance;
};

void reportMissing(std::string_view name) {
    QUARN_REPORT(Log, "Could not find value for parameter " + std::string(name) + "\n");
}

void reportTableFull() { QUARN_REPORT(Log, "parameter could not be set!\n"); }

void reportBadAddChild() { QUARN_REPORT(Log, "invalid addChild in script!"); }

// Top-level lines that are not statements: empty, blank after the first
// character, or a comment starting in the first column.
bool isSkippedTopLevelLine(const std::string& line) {
    if (line.empty() || line[0] == '#') return true;
    return line.find_first_not_of(" \t", 1) == std::string::npos;
}

}  // namespace

struct ScriptReader::State {
    explicit State(const ScriptReaderSetup& setup) : setup(setup) {}

    ScriptReaderSetup setup;
    EffectRegistry registry;
    std::vector<EffectEntry> effects;
    std::vector<InstanceEntry> instances;
    std::string currentEffectName;
    ScriptListener* listener = nullptr;  // null: nobody listens

    // Everything created while reading, including entries a full table
    // refused. Parameter tables point into the value lists, which therefore
    // never move their elements.
    std::vector<std::unique_ptr<Effect>> ownedEffects;
    std::vector<std::unique_ptr<EffectInstance>> ownedInstances;
    std::deque<float> floatValues;
    std::deque<int> intValues;
    std::deque<std::string> textValues;

    const EffectEntry* findEffect(std::string_view name) const {
        for (const EffectEntry& entry : effects) {
            if (entry.name == name) return &entry;
        }
        return nullptr;
    }

    EffectInstance* findInstance(std::string_view name) const {
        for (const InstanceEntry& entry : instances) {
            if (entry.name == name) return entry.instance;
        }
        return nullptr;
    }
};

namespace {

ScriptListener nobody;

class ScriptParser {
public:
    ScriptParser(ScriptReader::State& state, std::string_view text)
        : state(state), lines(text), listener(state.listener != nullptr ? *state.listener : nobody) {}

    void parse() {
        ScriptLine line;
        while (nextStatementLine(line)) {
            const auto tokens = splitTokens(line.text, 8);
            const std::string_view keyword = tokenAt(tokens, 0);
            QUARN_REPORTF(Output, "tk: %s!\n", std::string(keyword).c_str());
            listener.statement(line.number, keyword);
            if (keyword == "defineEffect") {
                defineEffect(tokens, line.number);
            } else if (keyword == "createInstance") {
                createInstance(tokens, line.number);
            } else if (keyword == "addChild") {
                addChild(tokens, line.number);
            } else if (keyword == "bah") {
                return;
            }
        }
    }

private:
    ScriptReader::State& state;
    ScriptLines lines;
    ScriptListener& listener;

    bool nextLine(ScriptLine& line) {
        if (!lines.next(line)) return false;
        if (line.tooLong) {
            listener.problem(line.number, ScriptProblem::LineTooLong);
            QUARN_REPORT(Log, "script line longer than " + std::to_string(maxScriptLineLength) +
                                  " characters, the rest is ignored!");
        }
        return true;
    }

    bool nextStatementLine(ScriptLine& line) {
        while (nextLine(line)) {
            if (!isSkippedTopLevelLine(line.text)) return true;
        }
        return false;
    }

    void defineEffect(const std::vector<std::string_view>& tokens, int lineNumber) {
        const std::string_view typeName = tokenAt(tokens, 3);
        if (tokenAt(tokens, 2) != "as" || typeName.empty()) {
            listener.problem(lineNumber, ScriptProblem::BadDefinition);
            QUARN_REPORT(Log, "invalid effect definition in script!\n");
            return;
        }
        const std::string name(tokenAt(tokens, 1));
        std::unique_ptr<Effect> created = state.registry.createEffect(std::string(typeName));
        Effect* effect = created.get();
        if (created != nullptr) state.ownedEffects.push_back(std::move(created));
        listener.effectDefined(lineNumber, name, typeName, effect);
        if (state.effects.size() >= state.setup.limits.maxEffects) {
            listener.problem(lineNumber, ScriptProblem::TableFull);
            reportTableFull();
        } else {
            state.effects.push_back(EffectEntry{name, effect});
        }
        state.currentEffectName = name;
        readDefinitionBlock(lineNumber);
    }

    void readDefinitionBlock(int headerLine) {
        ScriptLine line;
        while (nextLine(line)) {
            if (line.text == "end") return;
            if (!readParameterLine(line.text, line.number)) return;
        }
        listener.problem(headerLine, ScriptProblem::BlockUnfinished);
        QUARN_REPORT(Log, "script ended inside the definition of " + state.currentEffectName + "!");
    }

    // False when the line has no operator, which ends the block.
    bool readParameterLine(const std::string& line, int lineNumber) {
        const auto tokens = splitTokens(line, 2);
        const std::string_view operatorToken = tokenAt(tokens, 1);
        if (operatorToken != ":") {
            listener.problem(lineNumber, ScriptProblem::BlockBroken);
            QUARN_REPORT(Log, "invalid operator!");
            if (state.setup.waitForKey != nullptr) state.setup.waitForKey();
            return false;
        }
        const std::string_view value = restOfLineAfter(line, operatorToken);
        if (value.empty()) {
            listener.problem(lineNumber, ScriptProblem::NoValue);
            QUARN_REPORT(Log, "parameter type error!!!!");
            return true;
        }
        const std::string name(tokenAt(tokens, 0));
        const EffectEntry* entry = state.findEffect(state.currentEffectName);
        // An entry without an effect belongs to an unknown type, which was
        // reported when it was defined; its parameters are dropped quietly.
        Effect* effect = entry != nullptr ? entry->effect : nullptr;
        const ParameterKind kind = value[0] == '%'                      ? ParameterKind::Integer
                                   : value[0] >= '0' && value[0] <= '9' ? ParameterKind::Float
                                                                        : ParameterKind::Text;
        listener.parameter(lineNumber, state.currentEffectName, name, kind, value);

        if (kind == ParameterKind::Integer) {
            const int number = readScriptInteger(value.substr(1));
            QUARN_REPORTF(Output, "%s = %i\n", name.c_str(), number);
            if (effect != nullptr) {
                state.intValues.push_back(number);
                effect->setInt(name, &state.intValues.back());
            }
        } else if (kind == ParameterKind::Float) {
            if (effect != nullptr) {
                state.floatValues.push_back(readScriptFloat(value));
                effect->setFloat(name, &state.floatValues.back());
            }
        } else if (effect != nullptr) {
            // A quoted value loses its first and last character; a lone quote
            // leaves an empty text.
            std::string_view text = value;
            if (text[0] == '"') text = text.size() >= 2 ? text.substr(1, text.size() - 2) : std::string_view();
            state.textValues.emplace_back(text);
            effect->setString(name, state.textValues.back().c_str());
        }
        if (entry == nullptr) reportMissing(state.currentEffectName);
        return true;
    }

    void createInstance(const std::vector<std::string_view>& tokens, int lineNumber) {
        const std::string_view startToken = tokenAt(tokens, 6);
        const std::string_view endToken = tokenAt(tokens, 7);
        if (tokenAt(tokens, 1) != "of" || tokenAt(tokens, 3) != "as" || tokenAt(tokens, 5) != "at" ||
            startToken.empty() || endToken.empty()) {
            listener.problem(lineNumber, ScriptProblem::BadInstance);
            reportBadAddChild();
            return;
        }
        const std::string_view effectName = tokenAt(tokens, 2);
        const EffectEntry* entry = state.findEffect(effectName);
        if (entry == nullptr) reportMissing(effectName);
        // Kept even without an effect: it still groups its children, and the
        // positions of the active instances (sync targets) stay as written.
        EffectInstance* instance = state.ownedInstances
                                       .emplace_back(std::make_unique<EffectInstance>(
                                           entry != nullptr ? entry->effect : nullptr, readScriptTime(startToken),
                                           readScriptTime(endToken), std::string(tokenAt(tokens, 4))))
                                       .get();
        listener.instanceCreated(lineNumber, *instance, effectName, entry != nullptr);
        if (state.instances.size() >= state.setup.limits.maxInstances) {
            listener.problem(lineNumber, ScriptProblem::TableFull);
            reportTableFull();
            return;
        }
        state.instances.push_back(InstanceEntry{instance->getName(), instance});
    }

    void addChild(const std::vector<std::string_view>& tokens, int lineNumber) {
        const std::string_view childName = tokenAt(tokens, 1);
        const std::string_view parentName = tokenAt(tokens, 3);
        if (tokenAt(tokens, 2) != "to" || parentName.empty()) {
            listener.problem(lineNumber, ScriptProblem::BadAddChild);
            reportBadAddChild();
            return;
        }
        EffectInstance* child = state.findInstance(childName);
        if (child == nullptr) reportMissing(childName);
        EffectInstance* parent = state.findInstance(parentName);
        if (parent == nullptr) reportMissing(parentName);
        if (child == nullptr || parent == nullptr) {
            listener.childAdded(lineNumber, childName, parentName, false);
            return;
        }
        const bool added = parent->addChild(child);
        listener.childAdded(lineNumber, childName, parentName, added);
        if (!added) {
            const std::string reason =
                child->contains(parent)
                    ? "it would contain itself!"
                    : "a frame would visit more than " + std::to_string(maxInstanceVisitsPerFrame) + " instances!";
            QUARN_REPORT(Log, "instance " + std::string(childName) + " cannot be a child of " +
                                  std::string(parentName) + ": " + reason);
        }
    }
};

}  // namespace

std::string rootNameOfScript(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    return base.substr(0, base.find('.'));
}

EffectInstance* ScriptReader::findInstance(std::string_view name) const { return state->findInstance(name); }

ScriptReader::ScriptReader(const ScriptReaderSetup& setup) : state(std::make_unique<State>(setup)) {}

ScriptReader::~ScriptReader() = default;

void ScriptReader::registerType(std::unique_ptr<Effect> prototype) {
    state->registry.registerType(std::move(prototype));
}

EffectInstance* ScriptReader::load(const std::string& path, RenderState& renderState, const ScriptReading& reading) {
    return loadFile(path, &renderState, reading);
}

EffectInstance* ScriptReader::loadWithoutInit(const std::string& path, const ScriptReading& reading) {
    return loadFile(path, nullptr, reading);
}

EffectInstance* ScriptReader::loadFile(const std::string& path, RenderState* renderState,
                                       const ScriptReading& reading) {
    QUARN_REPORTF(Output, "opening %s\n", path.c_str());
    std::vector<uint8_t> bytes;
    if (!(reading.readFile ? reading.readFile(path, bytes, nullptr, noFileSizeLimit) : readFileBytes(path, bytes))) {
        QUARN_REPORTF(Output, "couldn't open %s\n", path.c_str());
        return finish(path, renderState, reading);
    }
    QUARN_REPORTF(Output, "parsing file %s\n", path.c_str());
    const std::string text(bytes.begin(), bytes.end());
    if (reading.listener != nullptr) reading.listener->scriptText(text);
    state->listener = reading.listener;
    parse(text);
    state->listener = nullptr;
    return finish(path, renderState, reading);
}

EffectInstance* ScriptReader::loadFromText(const std::string& text, const std::string& path, RenderState& renderState) {
    QUARN_REPORTF(Output, "opening %s\n", path.c_str());
    QUARN_REPORTF(Output, "parsing file %s\n", path.c_str());
    parse(text);
    return finish(path, &renderState, {});
}

EffectInstance* ScriptReader::readWithoutInit(const std::string& text, const std::string& path,
                                              ScriptListener& listener) {
    state->listener = &listener;
    QUARN_REPORTF(Output, "opening %s\n", path.c_str());
    QUARN_REPORTF(Output, "parsing file %s\n", path.c_str());
    listener.scriptText(text);
    parse(text);
    state->listener = nullptr;
    return finish(path, nullptr, {});
}

void ScriptReader::parse(const std::string& text) {
    // Editors that save UTF-8 with a byte order mark put it before the first
    // statement; no script means it as text.
    std::string_view script = text;
    if (script.starts_with(utf8ByteOrderMark)) script.remove_prefix(utf8ByteOrderMark.size());
    ScriptParser parser(*state, script);
    parser.parse();
}

EffectInstance* ScriptReader::finish(const std::string& path, RenderState* renderState, const ScriptReading& reading) {
    QUARN_REPORT(Output, "closed file\n");
    QUARN_REPORT(Output, "about to calc ename\n");
    const std::string rootName = rootNameOfScript(path);
    QUARN_REPORTF(Output, "ename: %s\n", rootName.c_str());
    if (renderState != nullptr) {
        // The effects load their pictures and objects in init.
        AssetReadingScope assets({reading.readFile, reading.assets});
        for (const EffectEntry& entry : state->effects) {
            if (entry.effect == nullptr) continue;
            entry.effect->watchParameterReads(state->setup.parameterReads);
            entry.effect->init(*renderState, state->setup.limits);
        }
    }
    EffectInstance* root = state->findInstance(rootName);
    if (root == nullptr) reportMissing(rootName);
    return root;
}

std::vector<std::string> ScriptReader::namedFiles() const {
    static const char* const fileParameters[] = {"textureFilename", "alphaFilename", "envFilename", "object"};
    std::vector<std::string> files;
    for (const EffectEntry& entry : state->effects) {
        if (entry.effect == nullptr) continue;
        for (const char* parameter : fileParameters) {
            const char* name = entry.effect->findString(parameter);
            if (name == nullptr || *name == '\0') continue;
            if (std::find(files.begin(), files.end(), name) == files.end()) files.emplace_back(name);
        }
    }
    return files;
}
