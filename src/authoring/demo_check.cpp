#include "authoring/demo_check.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string_view>

#include "assets/image_loader.h"
#include "assets/lwo_reader.h"
#include "assets/object_import.h"
#include "effects/parameter_declarations.h"
#include "effects/script_expression.h"
#include "framework/effect_instance.h"
#include "framework/script_lines.h"
#include "framework/script_listener.h"
#include "framework/script_numbers.h"
#include "framework/script_reader.h"
#include "platform/audio_decoder.h"
#include "platform/file_bytes.h"
#include "platform/mp3_stream.h"
#include "platform/report.h"
#include "player/sync_track.h"

namespace {

constexpr const char* scriptFileName = demoScriptFile;
constexpr const char* syncFileName = demoSyncFile;
constexpr const char* musicFileName = demoMusicFile;

enum FileIndex { ScriptFile, SyncFile, MusicFile };
const char* const fileNames[] = {scriptFileName, syncFileName, musicFileName};

enum class Severity { Error, Warning, Note };

constexpr std::size_t tgaHeaderSize = 18;

// What a file named in the script holds for the player.
struct Verdict {
    Severity severity = Severity::Error;
    std::string text;  // empty: nothing to say
};

struct Finding {
    int file;
    int line;  // 0: the file as a whole
    Severity severity;
    std::string message;
};

// The player's readers talk on the console; while the checker uses them,
// nobody hears them (its script reader waits for no key).
class Quiet {
    ReportSinkScope silence{ReportSink()};
};

// Tabs and bytes that do not print are shown escaped.
std::string shown(std::string_view text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\t') {
            out += "\\t";
        } else if (byte < 0x20 || byte == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out;
}

std::string quoted(std::string_view text) { return "'" + shown(text) + "'"; }

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

bool isFolder(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// "FF FE" or "FE FF" when text starts with a UTF-16 byte order mark. The
// readers take bytes as ASCII, so every other byte of such a file is a NUL.
std::string utf16Mark(std::string_view text) {
    if (text.starts_with("\xFF\xFE")) return "FF FE";
    if (text.starts_with("\xFE\xFF")) return "FE FF";
    return {};
}

std::string writtenInUtf16(const std::string& mark, const std::string& consequence) {
    return "the file is written in UTF-16 (it starts with the byte order mark " + mark + "): " + consequence +
           "; save it as UTF-8 or ASCII";
}

std::size_t editDistance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// "; did you mean 'x'?" for the nearest candidate two edits away or less.
std::string suggestion(std::string_view name, const std::vector<std::string_view>& candidates) {
    std::string_view best;
    std::size_t bestDistance = 3;
    for (std::string_view candidate : candidates) {
        const std::size_t distance = equalIgnoringCase(name, candidate) ? 0 : editDistance(name, candidate);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = candidate;
        }
    }
    return best.empty() ? std::string() : "; did you mean " + quoted(best) + "?";
}

std::string joined(const std::vector<std::string_view>& words, const char* separator) {
    std::string out;
    for (std::string_view word : words) out += (out.empty() ? "" : separator) + std::string(word);
    return out;
}

std::vector<std::string_view> splitWords(std::string_view text) {
    std::vector<std::string_view> words;
    for (std::string_view word : splitTokens(text, text.size())) words.push_back(word);
    return words;
}

std::string kindName(ParameterKind kind) {
    switch (kind) {
    case ParameterKind::Float:
        return "a number";
    case ParameterKind::Integer:
        return "an integer";
    case ParameterKind::Text:
        break;
    }
    return "text";
}

std::string useName(ParameterUse use) {
    switch (use) {
    case ParameterUse::Number:
        return "a number";
    case ParameterUse::Integer:
        return "an integer";
    case ParameterUse::Word:
        return "text";
    case ParameterUse::Expression:
        return "an expression";
    case ParameterUse::Picture:
        return "a picture file name";
    case ParameterUse::Object:
        return "an object file name";
    }
    return "text";
}

// What the reader found, as the listener heard it.
struct ScriptFacts : ScriptListener {
    struct EffectFact {
        int line;
        std::string name;
        std::string type;
        bool registered;
    };
    struct ParameterFact {
        int line;
        std::string effectName;
        std::string name;
        ParameterKind kind;
        std::string value;  // as written
        // The text the effect reads: a quoted value without its quotes.
        std::string text() const {
            if (kind != ParameterKind::Text || value.empty() || value[0] != '"') return value;
            return value.size() >= 2 ? value.substr(1, value.size() - 2) : std::string();
        }
    };
    struct InstanceFact {
        int line;
        const EffectInstance* instance;
        std::string effectName;
        bool effectFound;
    };
    struct ChildFact {
        int line;
        std::string child;
        std::string parent;
        bool added;
    };

    std::map<int, std::string> statements;
    std::vector<EffectFact> effects;
    std::vector<ParameterFact> parameters;
    std::vector<InstanceFact> instances;
    std::vector<ChildFact> children;
    std::vector<std::pair<int, ScriptProblem>> problems;
    int bahLine = 0;
    bool read = false;
    std::string text;

    void scriptText(std::string_view script) override {
        read = true;
        text = std::string(script);
    }

    void statement(int line, std::string_view keyword) override {
        statements[line] = std::string(keyword);
        if (keyword == "bah") bahLine = line;
    }
    void effectDefined(int line, const std::string& name, std::string_view type, const Effect* effect) override {
        effects.push_back(EffectFact{line, name, std::string(type), effect != nullptr});
    }
    void parameter(int line, const std::string& effectName, std::string_view name, ParameterKind kind,
                   std::string_view value) override {
        parameters.push_back(ParameterFact{line, effectName, std::string(name), kind, std::string(value)});
    }
    void instanceCreated(int line, const EffectInstance& instance, std::string_view effectName,
                         bool effectFound) override {
        instances.push_back(InstanceFact{line, &instance, std::string(effectName), effectFound});
    }
    void childAdded(int line, std::string_view child, std::string_view parent, bool added) override {
        children.push_back(ChildFact{line, std::string(child), std::string(parent), added});
    }
    void problem(int line, ScriptProblem problem) override { problems.emplace_back(line, problem); }

    // The effect a block line belongs to: the latest definition before it.
    const EffectFact* effectBefore(int line) const {
        const EffectFact* found = nullptr;
        for (const EffectFact& effect : effects)
            if (effect.line < line) found = &effect;
        return found;
    }
    const EffectFact* firstEffect(std::string_view name) const {
        for (const EffectFact& effect : effects)
            if (effect.name == name) return &effect;
        return nullptr;
    }
    const InstanceFact* firstInstance(std::string_view name) const {
        for (const InstanceFact& instance : instances)
            if (instance.instance->getName() == name) return &instance;
        return nullptr;
    }
};

// What the sync reader found, as the listener heard it.
struct SyncFacts : SyncListener {
    struct Line {
        int number;
        std::string text;
        std::optional<SyncEvent> event;  // none: the line is skipped
        bool cut;
    };
    bool read = false;
    std::string bytes;
    bool byteOrderMarkSkipped = false;
    std::vector<Line> lines;
    int emptyLineNumber = 0;  // 0: no empty line ended reading early
    bool linesAfterEmptyLine = false;

    void fileRead(std::string_view text) override {
        read = true;
        bytes = std::string(text);
    }
    void byteOrderMark() override { byteOrderMarkSkipped = true; }
    void line(int number, std::string_view text, const SyncEvent* event, bool cut) override {
        lines.push_back(Line{number, std::string(text), event ? std::optional<SyncEvent>(*event) : std::nullopt, cut});
    }
    void emptyLine(int number, bool linesFollow) override {
        emptyLineNumber = number;
        linesAfterEmptyLine = linesFollow;
    }
};

// The pictures and objects the readers read, by the name they were asked for.
struct AssetFacts : AssetListener {
    std::map<std::string, PictureFacts> pictures;
    std::map<std::string, ObjectFacts> objects;

    void pictureRead(const PictureFacts& facts) override { pictures.emplace(facts.fileName, facts); }
    void objectRead(const ObjectFacts& facts) override { objects.emplace(facts.fileName, facts); }
};

}  // namespace

struct DemoCheckListeners::Heard {
    ScriptFacts script;
    SyncFacts sync;
    AssetFacts assets;
};

namespace {

class DemoChecker {
public:
    DemoChecker(DemoCheckListeners& heard, const LoadedDemo& demo, DemoFiles& files, CheckedFor mode)
        : mode(mode),
          files(files),
          facts(heard.heard->script),
          sync(heard.heard->sync),
          assets(heard.heard->assets),
          music(heard.music),
          root(demo.root),
          times(demo.times) {}

    DemoCheckReport run() {
        const std::string& script = facts.text;
        if (!facts.read) {
            add(ScriptFile, 0, Severity::Error,
                isFolder(pathOf(scriptFileName)) ? "is a folder, not a file: there is nothing to play"
                                                 : "cannot be opened: there is nothing to play");
        } else if (const std::string mark = utf16Mark(script); !mark.empty()) {
            add(ScriptFile, 1, Severity::Error, writtenInUtf16(mark, "the player finds none of its statements"));
        } else {
            checkScriptText(script);
            checkProblems();
            checkStatements();
            checkEffects();
            checkInstances();
        }
        checkSync();
        checkMusic();
        return report();
    }

private:
    CheckedFor mode;
    DemoFiles& files;
    const ScriptFacts& facts;
    const SyncFacts& sync;
    AssetFacts& assets;
    MusicFacts music;
    EffectInstance* root;
    DemoTimes times;
    bool fadeOutSeen = false, endSeen = false;
    std::vector<std::string> lines{""};  // lines[n]: line n of the script
    std::vector<Finding> findings;
    std::map<std::string, Verdict> pictureVerdicts;

    std::string pathOf(const std::string& name) const { return files.pathOf(name); }

    void add(int file, int line, Severity severity, std::string message) {
        findings.push_back(Finding{file, line, severity, std::move(message)});
    }
    void error(int line, std::string message) { add(ScriptFile, line, Severity::Error, std::move(message)); }
    void warning(int line, std::string message) { add(ScriptFile, line, Severity::Warning, std::move(message)); }

    DemoCheckReport report() {
        std::stable_sort(findings.begin(), findings.end(), [](const Finding& a, const Finding& b) {
            return a.file != b.file ? a.file < b.file : a.line < b.line;
        });
        DemoCheckReport out;
        for (const Finding& finding : findings) {
            std::string line = fileNames[finding.file];
            if (finding.line > 0) line += ":" + std::to_string(finding.line);
            static const char* const severities[] = {"error", "warning", "note"};
            line += std::string(": ") + severities[static_cast<int>(finding.severity)] + ": " + finding.message;
            out.lines.push_back(std::move(line));
            if (finding.severity == Severity::Error) ++out.errors;
            if (finding.severity == Severity::Warning) ++out.warnings;
        }
        return out;
    }

    // ---- the script as text ----

    void checkScriptText(const std::string& script) {
        std::string_view text = script;
        if (text.starts_with(utf8ByteOrderMark)) {
            warning(1, "the file starts with a UTF-8 byte order mark, which the player skips");
            text.remove_prefix(utf8ByteOrderMark.size());
        }
        ScriptLines cut(text);
        ScriptLine line;
        while (cut.next(line)) lines.push_back(line.text);

        const std::size_t lastNewline = text.rfind('\n');
        std::string_view tail = lastNewline == std::string_view::npos ? text : text.substr(lastNewline + 1);
        if (!tail.empty() && tail.back() == '\r') tail.remove_suffix(1);
        const bool blank = tail.find_first_not_of(" \t") == std::string_view::npos;
        if (facts.bahLine == 0 && !blank && tail[0] != '#') {
            const int number = static_cast<int>(lines.size());
            if (tail == "bah")
                warning(number, "the last line has no line end and is ignored");
            else
                error(number, "the last line has no line end and is ignored: end it with a line break");
        }
    }

    std::string blockName(int line) const {
        const ScriptFacts::EffectFact* effect = facts.effectBefore(line);
        return effect != nullptr ? quoted(effect->name) : std::string("?");
    }

    void checkProblems() {
        for (const auto& [line, problem] : facts.problems) {
            const std::string& text = line < static_cast<int>(lines.size()) ? lines[line] : lines[0];
            const std::string tab =
                text.find('\t') != std::string::npos ? " (a tab is no separator, only spaces are)" : "";
            switch (problem) {
            case ScriptProblem::LineTooLong:
                // A long comment is still a comment.
                if (!text.empty() && text[0] == '#') break;
                error(line, "the line is longer than 199 characters: the rest is ignored");
                break;
            case ScriptProblem::BadDefinition:
                error(line,
                      "expected 'defineEffect NAME as TYPE': the block is not read, its lines are "
                      "taken as statements" +
                          tab);
                break;
            case ScriptProblem::BlockBroken:
                error(line, brokenBlockMessage(text, blockName(line)));
                break;
            case ScriptProblem::BlockUnfinished:
                error(line, "the definition of " + blockName(line + 1) + " has no 'end' line");
                break;
            case ScriptProblem::NoValue:
                error(line, "parameter " + quoted(tokenAt(splitTokens(text, 1), 0)) + " of effect " + blockName(line) +
                                " has no value: the line is ignored");
                break;
            case ScriptProblem::BadInstance:
                error(line, "expected 'createInstance of EFFECT as INSTANCE at START END': nothing is created" + tab);
                break;
            case ScriptProblem::BadAddChild:
                error(line, "expected 'addChild CHILD to PARENT': nothing is linked" + tab);
                break;
            case ScriptProblem::TableFull:
                error(line, "more than 512 effects or instances: this one is dropped");
                break;
            }
        }
    }

    static std::string brokenBlockMessage(const std::string& text, const std::string& effect) {
        const std::string ends =
            ": the definition of " + effect + " ends here and its remaining lines are read as statements";
        const std::size_t first = text.find_first_not_of(' ');
        if (first == std::string::npos) return "a blank line inside a definition" + ends;
        if (text[first] == '#') return "a comment inside a definition" + ends;
        if (text.find_first_not_of(' ', first + 3) == std::string::npos && text.compare(first, 3, "end") == 0)
            return "'end' must stand alone at the start of its line" + ends;
        if (text.find('\t') != std::string::npos) return "a tab separates tokens here, but only spaces do" + ends;
        return "expected 'NAME : VALUE' with ':' between spaces" + ends;
    }

    void checkStatements() {
        for (const auto& [line, keyword] : facts.statements) {
            if (keyword == "defineEffect" || keyword == "createInstance" || keyword == "addChild" || keyword == "bah")
                continue;
            const std::string& text = lines[line];
            const std::string prefix = "unknown statement " + quoted(keyword);
            if (keyword.find('\t') != std::string::npos)
                error(line, prefix + ": a tab is no separator, only spaces are; the line is ignored");
            else if (keyword == "end")
                error(line, "'end' outside a definition is ignored");
            else if (keyword[0] == '#')
                error(line, prefix + ": a comment must start in the first column; the line is ignored");
            else if (tokenAt(splitTokens(text, 2), 1) == ":")
                error(line, "parameter line outside a definition (an error above ended its block): ignored");
            else
                error(line, prefix + ": the line is ignored");
        }
    }

    // ---- effects and their parameters ----

    void checkEffects() {
        std::vector<std::string_view> typeNames;
        for (const EffectTypeDeclaration& type : effectTypeDeclarations()) typeNames.push_back(type.typeName);
        std::set<std::string> used;
        for (const ScriptFacts::InstanceFact& instance : facts.instances) used.insert(instance.effectName);

        for (const ScriptFacts::EffectFact& effect : facts.effects) {
            const ScriptFacts::EffectFact* first = facts.firstEffect(effect.name);
            if (first != &effect) {
                warning(effect.line, "effect " + quoted(effect.name) + " is already defined at line " +
                                         std::to_string(first->line) +
                                         ": its parameters go to the first, and instances always use the first");
                continue;
            }
            if (!effect.registered) {
                error(effect.line, "effect type " + quoted(effect.type) + " of " + quoted(effect.name) +
                                       " is not registered" + suggestion(effect.type, typeNames) + " (the types are " +
                                       joined(typeNames, ", ") + ")");
                continue;
            }
            if (used.count(effect.name) == 0)
                warning(effect.line, "effect " + quoted(effect.name) + " is never placed by createInstance");
            const EffectTypeDeclaration* type = findEffectTypeDeclaration(effect.type);
            if (type != nullptr) checkParameters(effect, *type);
        }
    }

    void checkParameters(const ScriptFacts::EffectFact& effect, const EffectTypeDeclaration& type) {
        const std::string who = "effect " + quoted(effect.name) + " (" + effect.type + "): ";
        std::vector<std::string_view> names;
        for (const ParameterDeclaration& parameter : type.parameters) names.push_back(parameter.name);
        std::map<std::string, int> firstLine;
        // Names the effect will find, with a value it can use.
        std::set<std::string> given;

        for (const ScriptFacts::ParameterFact& parameter : facts.parameters) {
            if (parameter.effectName != effect.name) continue;
            const int line = parameter.line;
            const auto [seen, isNew] = firstLine.emplace(parameter.name, line);
            if (!isNew)
                warning(line, who + quoted(parameter.name) + " is set again (first at line " +
                                  std::to_string(seen->second) + "): the first value is replaced");

            const ParameterDeclaration* declared = findParameterDeclaration(type, parameter.name);
            if (declared == nullptr) {
                if (parameter.name.find('\t') != std::string::npos)
                    error(line, who + "the parameter name " + quoted(parameter.name) +
                                    " holds a tab: only spaces separate tokens");
                else if (type.parameters.empty())
                    error(line, who + "takes no parameters, not " + quoted(parameter.name));
                else
                    error(line, who + "has no parameter " + quoted(parameter.name) + suggestion(parameter.name, names));
                continue;
            }
            const ParameterKind wanted = storedKind(declared->use);
            if (parameter.kind != wanted) {
                error(line, who + wrongKindMessage(*declared, parameter));
                continue;
            }
            if (checkValue(who, *declared, parameter)) given.insert(parameter.name);
        }

        for (const ParameterDeclaration& parameter : type.parameters) {
            const bool read = (parameter.onlyWith.empty() || given.count(std::string(parameter.onlyWith))) &&
                              (parameter.onlyWithout.empty() || !given.count(std::string(parameter.onlyWithout)));
            const bool present = given.count(std::string(parameter.name)) != 0;
            // A parameter written wrongly has its own report.
            const bool written = firstLine.count(std::string(parameter.name)) != 0;
            if (parameter.required && read && !written) {
                std::string message = who + "needs " + quoted(parameter.name) + " (" + describeUse(parameter) + ")";
                if (parameter.use == ParameterUse::Picture && type.typeName != "FxGLLayerObject" &&
                    type.typeName != "FxGLUVMap")
                    message += ": without it " + missingPictureOutcome("");
                error(effect.line, message);
            }
            if (parameter.name == "mapping" && type.typeName == "FxRenderParametric" &&
                given.count("textureFilename") != 0 && !written)
                warning(effect.line, who +
                                         "without 'mapping' the texture is sphere-mapped and added to the colour "
                                         "under it, which looks flat white: write 'mapping : pregenerated' to lay "
                                         "the picture on the surface, and 'envFilename' for a sphere-mapped "
                                         "reflection");
            if (present && !read) {
                const auto found = firstLine.find(std::string(parameter.name));
                const std::string reason = !parameter.onlyWith.empty()
                                               ? "only read when " + quoted(parameter.onlyWith) + " is given"
                                               : "ignored when " + quoted(parameter.onlyWithout) + " is given";
                warning(found->second, who + quoted(parameter.name) + " is " + reason +
                                           (parameter.unread.empty() ? "" : ": " + std::string(parameter.unread)));
            }
        }
    }

    static std::string wrongKindMessage(const ParameterDeclaration& declared,
                                        const ScriptFacts::ParameterFact& parameter) {
        const std::string& value = parameter.value;
        std::string advice;
        if (parameter.kind == ParameterKind::Float && storedKind(declared.use) == ParameterKind::Text) {
            advice = "quote it (\"" + value + "\")";
        } else if (parameter.kind == ParameterKind::Integer) {
            advice = "write it without '%'";
        } else if (declared.use == ParameterUse::Integer) {
            advice = parameter.kind == ParameterKind::Float
                         ? "write %" + value.substr(0, value.find_first_not_of("0123456789"))
                         : std::string("write integers as %N");
        } else {
            advice = "write numbers starting with a digit";
            if (!value.empty() && value[0] == '.') advice += " (0" + value + ")";
        }
        return quoted(parameter.name) + " is read as " + useName(declared.use) + ", but " + quoted(value) +
               " is stored as " + kindName(parameter.kind) + ", which the effect never reads: " + advice;
    }

    // True when the effect will find a usable value.
    bool checkValue(const std::string& who, const ParameterDeclaration& declared,
                    const ScriptFacts::ParameterFact& parameter) {
        const std::string text = parameter.text();
        const int line = parameter.line;
        switch (declared.use) {
        case ParameterUse::Number:
            return true;
        case ParameterUse::Integer:
            if (declared.usedValue != nullptr && !text.empty() && text[0] == '%') {
                const int written = readScriptInteger(std::string_view(text).substr(1));
                const int used = declared.usedValue(written);
                if (used != written)
                    warning(line, who + quoted(parameter.name) + " is " + std::to_string(written) + ", " +
                                      (written < used ? "less" : "more") + " than the effect takes: it uses " +
                                      std::to_string(used));
            }
            return true;
        case ParameterUse::Word:
            if (!declared.choices.empty()) {
                const std::vector<std::string_view> choices = splitWords(declared.choices);
                if (std::find(choices.begin(), choices.end(), text) == choices.end()) {
                    error(line, who + quoted(parameter.name) + " is " + quoted(text) + ", not one of " +
                                    joined(choices, ", ") + suggestion(text, choices));
                    return false;
                }
            }
            return !text.empty();
        case ParameterUse::Expression:
            if (text.empty()) return false;
            checkExpression(who, declared, parameter.name, text, line);
            return true;
        case ParameterUse::Picture:
            if (text.empty()) return false;
            if (const Verdict verdict = pictureVerdict(text); !verdict.text.empty())
                add(ScriptFile, line, verdict.severity,
                    who + quoted(parameter.name) + ": picture file " + quoted(text) + " " + verdict.text);
            return true;
        case ParameterUse::Object:
            if (text.empty()) return false;
            if (const std::string verdict = objectVerdict(text); !verdict.empty())
                error(line, who + quoted(parameter.name) + ": object file " + quoted(text) + " " + verdict);
            return true;
        }
        return true;
    }

    void checkExpression(const std::string& who, const ParameterDeclaration& declared, const std::string& name,
                         const std::string& text, int line) {
        // Compiled as the effect compiles it.
        ScriptExpression expression;
        if (declared.knowsPi) expression.addConstant("pi", static_cast<double>(3.14159f));
        expression.compile(text, std::string(declared.variables));
        const int at = expression.errorPosition();
        if (at < 0) return;
        std::string variables(declared.variables);
        std::replace(variables.begin(), variables.end(), ',', ' ');
        if (declared.knowsPi) variables += " and the constant pi";
        const std::string where = " at character " + std::to_string(at + 1) + " of \"" + shown(text) + "\"";
        if (expression.metUnknownName()) {
            std::size_t end = static_cast<std::size_t>(at);
            while (end < text.size() && (std::isalnum(static_cast<unsigned char>(text[end])) || text[end] == '_'))
                ++end;
            const std::string unknown = text.substr(static_cast<std::size_t>(at), end - static_cast<std::size_t>(at));
            error(line, who + quoted(name) + ": unknown name " + quoted(unknown) + where + " (it knows the variables " +
                            variables + ")");
        } else {
            error(line, who + quoted(name) + ": the expression does not parse: " + expression.errorMessage() + where);
        }
    }

    std::string missingPictureOutcome(const std::string& name) const {
        if (mode == CheckedFor::live)
            return "--live plays on with the last good reading, and says 'reload failed: cannot open picture file " +
                   name + "'";
        return "the player stops with 'cannot open picture file " + name + "'";
    }

    // What the loaders found of a picture; one that no effect loaded is
    // loaded now, as an effect would, without a word.
    const PictureFacts& pictureFacts(const std::string& name) {
        if (const auto found = assets.pictures.find(name); found != assets.pictures.end()) return found->second;
        {
            Quiet quiet;
            AssetReadingScope reading({files.reader(), &assets});
            try {
                ImageLoaderRegistry().loadImage(name);
            } catch (const MissingPicture&) {
            }
        }
        return assets.pictures[name];
    }

    // Empty when the player draws the picture as it is meant to look.
    Verdict pictureVerdict(const std::string& name) {
        const auto cached = pictureVerdicts.find(name);
        if (cached != pictureVerdicts.end()) return cached->second;
        Verdict verdict;
        const PictureFacts& picture = pictureFacts(name);
        if (!picture.opened) {
            verdict.text = "cannot be opened: " + missingPictureOutcome(name);
        } else if (picture.decodedBy.empty()) {
            const std::string kind = fileExtension(name) == "tga" ? tgaKindNotDrawn(picture.header) : std::string();
            verdict.text = kind.empty() ? "is neither a JPEG nor a TGA picture the player can decode: it is drawn white"
                                        : "is " + kind +
                                              ", which the player cannot draw: it is drawn white; save it as 24- or "
                                              "32-bit TGA, or as JPEG";
        } else if (picture.decodedBy == "tga") {
            verdict = Verdict{Severity::Warning, tgaUpsideDown(picture.header)};
        }
        pictureVerdicts[name] = verdict;
        return verdict;
    }

    // The kind of a TGA file the reader refuses, named from its header;
    // empty when the header names no such kind.
    static std::string tgaKindNotDrawn(const std::vector<uint8_t>& bytes) {
        if (bytes.size() < tgaHeaderSize) return {};
        const int imageType = bytes[2];
        const int depth = bytes[16];
        if (imageType == 1 || imageType == 9) return "a colour-mapped (palette) TGA";
        const std::string bits = " of " + std::to_string(depth) + " bits";
        if (imageType == 3 || imageType == 11) return "a grey TGA" + bits;
        if (depth != 24 && depth != 32) return "a TGA" + bits;
        return {};
    }

    // The reader ignores the header's origin bit: uncompressed 24- and 32-bit
    // colour and 16-bit grey files are taken as stored bottom row first,
    // run-length and 16-bit colour files as stored top row first. A file stored the other way shows upside down.
    static std::string tgaUpsideDown(const std::vector<uint8_t>& bytes) {
        if (bytes.size() < tgaHeaderSize) return {};
        const int imageType = bytes[2];
        const int depth = bytes[16];
        const bool runLength = imageType == 10 || (imageType == 11 && depth == 16);
        const bool topFirst = (bytes[17] & 0x20) != 0;
        // Uncompressed grey with alpha is read bottom row first, as 24- and
        // 32-bit colour is; 16-bit colour is read top row first.
        const bool readTopFirst = runLength || (depth == 16 && imageType != 3);
        if (topFirst == readTopFirst) return {};
        const std::string kind = runLength                       ? "a run-length "
                                 : depth == 16 && imageType != 3 ? "a 16-bit colour "
                                                                 : "an uncompressed ";
        return std::string("says its rows are stored ") + (topFirst ? "top" : "bottom") +
               " first (its origin bit), but the player reads " + kind + "TGA " + (readTopFirst ? "top" : "bottom") +
               " first: it shows upside down; flip the picture, or save it with the " +
               (readTopFirst ? "upper" : "lower") + "-left origin";
    }

    // What the object readers found; an object no effect read is read now.
    const ObjectFacts& objectFacts(const std::string& name) {
        const std::string path = pathOf(name);
        for (const std::string& key : {name, path}) {
            if (const auto found = assets.objects.find(key); found != assets.objects.end()) return found->second;
        }
        Quiet quiet;
        AssetReadingScope reading({files.reader(), &assets});
        if (isImportedObjectFile(name)) {
            ImportedObject object;
            std::string problem;
            importObjectFile(path, object, problem);
            return assets.objects[path];
        }
        loadLwoObject(name);
        return assets.objects[name];
    }

    std::string objectVerdict(const std::string& name) {
        const ObjectFacts& object = objectFacts(name);
        if (object.imported) return object.parsed ? std::string() : object.importProblem + ": nothing is drawn";
        if (!object.opened) return "cannot be opened: nothing is drawn";
        if (!object.parsed || object.polygons == 0)
            return "holds no LightWave (LWOB) polygons the player can read: nothing is drawn";
        return {};
    }

    // ---- instances and the tree ----

    void checkInstances() {
        for (const ScriptFacts::InstanceFact& instance : facts.instances) {
            const std::string& name = instance.instance->getName();
            const ScriptFacts::InstanceFact* first = facts.firstInstance(name);
            if (first != &instance)
                warning(instance.line, "instance " + quoted(name) + " is already created at line " +
                                           std::to_string(first->line) + ": addChild always finds the first");
            if (!instance.effectFound)
                error(instance.line, "no effect " + quoted(instance.effectName) +
                                         " is defined before this line: instance " + quoted(name) + " draws nothing");
            if (instance.instance->getEnd() < instance.instance->getStart())
                error(instance.line, "instance " + quoted(name) + " has the window " +
                                         number(instance.instance->getStart()) + ".." +
                                         number(instance.instance->getEnd()) + ", which ends before it starts");
        }
        for (const ScriptFacts::ChildFact& child : facts.children) {
            if (child.added) continue;
            const bool childFound = facts.firstInstance(child.child) != nullptr;
            const bool parentFound = facts.firstInstance(child.parent) != nullptr;
            if (!childFound) error(child.line, "no instance " + quoted(child.child) + " is created before this line");
            if (!parentFound) error(child.line, "no instance " + quoted(child.parent) + " is created before this line");
            if (childFound && parentFound) {
                const bool loop =
                    facts.firstInstance(child.child)->instance->contains(facts.firstInstance(child.parent)->instance);
                error(child.line, "addChild refused: " + quoted(child.child) + " cannot be a child of " +
                                      quoted(child.parent) +
                                      (loop ? ", which it contains"
                                            : ": a frame would visit more than " +
                                                  std::to_string(maxInstanceVisitsPerFrame) + " instances"));
            }
        }

        const std::string rootName = std::string(scriptFileName).substr(0, std::string(scriptFileName).find('.'));
        if (root == nullptr) {
            error(0, "no instance is named " + quoted(rootName) +
                         " (the root is named after the script file): nothing is drawn");
            return;
        }
        placeTree();
    }

    // Frame times at which each instance is drawn, through every path from
    // the root (drawn at every time from 0 to the demo's end).
    void placeTree() {
        std::set<const EffectInstance*> drawn{root};
        std::set<std::pair<const EffectInstance*, const EffectInstance*>> emptyLinks, usedLinks;
        std::map<std::pair<const EffectInstance*, const EffectInstance*>, std::string> parentTimes;
        struct Visit {
            const EffectInstance* instance;
            double offset;  // frame time at local time 0
            double from, to;
        };
        std::vector<Visit> stack{{root, root->getStart(), 0.0, times.end}};
        int visits = 0;
        while (!stack.empty() && ++visits < 100000) {
            const Visit visit = stack.back();
            stack.pop_back();
            for (const EffectInstance* child : visit.instance->getChildren()) {
                const double from = std::max(visit.from, visit.offset + child->getStart());
                const double to = std::min(visit.to, visit.offset + child->getEnd());
                const auto link = std::make_pair(visit.instance, child);
                if (from > to) {
                    emptyLinks.insert(link);
                    parentTimes[link] = number(visit.from - visit.offset) + ".." + number(visit.to - visit.offset);
                    continue;
                }
                usedLinks.insert(link);
                drawn.insert(child);
                stack.push_back(Visit{child, visit.offset + child->getStart(), from, to});
            }
        }
        for (const ScriptFacts::ChildFact& child : facts.children) {
            if (!child.added) continue;
            const ScriptFacts::InstanceFact* parent = facts.firstInstance(child.parent);
            const ScriptFacts::InstanceFact* instance = facts.firstInstance(child.child);
            const auto link = std::make_pair(parent->instance, instance->instance);
            if (emptyLinks.count(link) == 0 || usedLinks.count(link) != 0) continue;
            emptyLinks.erase(link);  // one report per link
            const EffectInstance& c = *instance->instance;
            if (c.getEnd() < c.getStart()) continue;  // reported with the instance
            error(child.line, "instance " + quoted(child.child) + " (window " + number(c.getStart()) + ".." +
                                  number(c.getEnd()) + ") lies outside the times its parent " + quoted(child.parent) +
                                  " is drawn (" + parentTimes[link] + " in its time): never drawn");
        }
        warnChildrenOutlastingParents();
        for (const ScriptFacts::InstanceFact& instance : facts.instances) {
            if (drawn.count(instance.instance) != 0 || facts.firstInstance(instance.instance->getName()) != &instance)
                continue;
            bool linked = false;
            for (const ScriptFacts::ChildFact& child : facts.children)
                linked = linked || (child.added && child.child == instance.instance->getName());
            if (!linked)
                warning(instance.line, "instance " + quoted(instance.instance->getName()) +
                                           " is never added under the root " + quoted(root->getName()) +
                                           ": never drawn");
        }
    }

    // A child's window is in its parent's time, which ends where the
    // parent's window does (the root's does not cut its children). Less than
    // a frame at 60 frames per second cannot be seen: scenes that end a
    // moment before the next begins keep their children's round windows.
    void warnChildrenOutlastingParents() {
        constexpr double unseenOverrun = 1.0 / 60.0;
        for (const ScriptFacts::ChildFact& child : facts.children) {
            if (!child.added) continue;
            const EffectInstance& parent = *facts.firstInstance(child.parent)->instance;
            const EffectInstance& c = *facts.firstInstance(child.child)->instance;
            if (&parent == root || parent.getEnd() < parent.getStart() || c.getEnd() < c.getStart()) continue;
            const double parentLength = double(parent.getEnd()) - double(parent.getStart());
            if (c.getStart() > parentLength || c.getEnd() - parentLength < unseenOverrun) continue;
            warning(child.line, "instance " + quoted(child.child) + " (window " + number(c.getStart()) + ".." +
                                    number(c.getEnd()) + ") runs past the end of its parent " + quoted(child.parent) +
                                    " (window " + number(parent.getStart()) + ".." + number(parent.getEnd()) + ", so " +
                                    number(parentLength) + " in its time): it stops at " + number(parentLength));
        }
    }

    // ---- sync file ----

    void checkSync() {
        if (!sync.read) {
            add(SyncFile, 0, Severity::Warning, "cannot be opened: the demo runs without sync events");
            return;
        }
        if (const std::string mark = utf16Mark(sync.bytes); !mark.empty()) {
            add(SyncFile, 1, Severity::Warning, writtenInUtf16(mark, "no event in it reaches an effect"));
            return;
        }
        if (sync.byteOrderMarkSkipped)
            add(SyncFile, 1, Severity::Warning, "the file starts with a UTF-8 byte order mark, which the player skips");
        std::set<std::string_view> reacting;
        for (const EffectTypeDeclaration& type : effectTypeDeclarations())
            reacting.insert(type.syncEvents.begin(), type.syncEvents.end());

        for (const SyncFacts::Line& line : sync.lines) {
            if (line.cut)
                add(SyncFile, line.number, Severity::Warning,
                    "the line is longer than 255 characters: reading stops after its first 255");
            if (!line.event) {
                std::string message = "the line needs a time, a name and a target: it is skipped";
                if (line.text.find('\t') != std::string::npos) message += " (a tab is no separator, only spaces are)";
                add(SyncFile, line.number, Severity::Warning, message);
            } else {
                checkEvent(line.number, *line.event, reacting);
            }
        }
        if (sync.emptyLineNumber > 0 && sync.linesAfterEmptyLine)
            add(SyncFile, sync.emptyLineNumber, Severity::Warning,
                "an empty line ends the sync file: the lines after it are never read");
    }

    void checkEvent(int line, const SyncEvent& event, const std::set<std::string_view>& reacting) {
        char time[32];
        std::snprintf(time, sizeof time, "%.3f", static_cast<double>(event.time));
        const std::string what = std::string(time) + " " + shown(event.name);
        if (event.name.find('\t') != std::string::npos) {
            add(SyncFile, line, Severity::Warning, what + ": a tab is no separator, only spaces are");
            return;
        }
        if (event.name == fadeOutEventName || event.name == endEventName) {
            checkTimeEvent(line, event, what);
            return;
        }
        if (reacting.count(event.name) == 0) {
            std::vector<std::string_view> names(reacting.begin(), reacting.end());
            add(SyncFile, line, Severity::Warning,
                what + ": no effect type reacts to " + quoted(event.name) + suggestion(event.name, names));
            return;
        }
        if (event.time > times.end) {
            add(SyncFile, line, Severity::Warning,
                what + ": after the demo's end at " + seconds(times.end) + ", never delivered");
            return;
        }
        if (root == nullptr) {
            add(SyncFile, line, Severity::Warning, what + ": the script has no root, so nothing receives it");
            return;
        }
        std::vector<EffectInstance*> active;
        const EffectInstance* goesTo = syncEventDestination(*root, event, active);
        if (goesTo == nullptr) {
            std::string names;
            for (std::size_t i = 0; i < active.size() && i < 8; ++i)
                names += (i ? ", " : "") + std::to_string(i) + " " + active[i]->getName();
            if (active.size() > 8) names += ", ...";
            add(SyncFile, line, Severity::Warning,
                what + ": no instance " + std::to_string(event.target) + " is active then" +
                    (active.empty() ? std::string(" (none is)") : " (active: " + names + ")"));
            return;
        }
        const EffectInstance& target = *goesTo;
        const ScriptFacts::InstanceFact* fact = facts.firstInstance(target.getName());
        const ScriptFacts::EffectFact* effect =
            fact != nullptr && fact->effectFound ? facts.firstEffect(fact->effectName) : nullptr;
        if (effect == nullptr || !effect->registered) {
            add(SyncFile, line, Severity::Warning, what + " goes to " + target.getName() + ", which has no effect");
            return;
        }
        const std::string destination =
            what + " goes to " + target.getName() + " (effect " + effect->name + ", " + effect->type + ")";
        const EffectTypeDeclaration* type = findEffectTypeDeclaration(effect->type);
        const bool reacts = type != nullptr && std::find(type->syncEvents.begin(), type->syncEvents.end(),
                                                         event.name) != type->syncEvents.end();
        if (reacts)
            add(SyncFile, line, Severity::Note, destination);
        else
            add(SyncFile, line, Severity::Warning, destination + ", which ignores it");
    }

    // "fadeout" and "end" are the player's own: the first of each sets the
    // demo's times.
    void checkTimeEvent(int line, const SyncEvent& event, const std::string& what) {
        const bool isEnd = event.name == endEventName;
        bool& seen = isEnd ? endSeen : fadeOutSeen;
        if (seen) {
            add(SyncFile, line, Severity::Warning,
                what + ": an earlier " + event.name + " event sets that time: this one does nothing");
            return;
        }
        seen = true;
        if (isEnd) {
            add(SyncFile, line, Severity::Note,
                what + ": the demo ends at " + seconds(times.end) + ", the music fading out from " +
                    seconds(times.fadeOut));
        } else if (times.fadeSeconds <= 0.0f) {
            add(SyncFile, line, Severity::Warning,
                what + ": not before the demo's end at " + seconds(times.end) + ": the music stops without fading");
        } else {
            add(SyncFile, line, Severity::Note,
                what + ": the music fades out from " + seconds(times.fadeOut) + " to the demo's end at " +
                    seconds(times.end));
        }
    }

    static std::string seconds(float t) {
        char text[32];
        std::snprintf(text, sizeof text, "%g s", static_cast<double>(t));
        return text;
    }

    // ---- music ----

    void checkMusic() {
        if (!music.opened) {
            add(MusicFile, 0, Severity::Warning, "cannot be opened: the demo plays without sound");
            return;
        }
        if (!music.decodable)
            add(MusicFile, 0, Severity::Error,
                "holds no MP3 audio the player can decode: the demo plays without sound");
    }
};

}  // namespace

EffectInstance* syncEventDestination(EffectInstance& root, const SyncEvent& event,
                                     std::vector<EffectInstance*>& active) {
    active.clear();
    root.collectActive(event.time, active);
    if (event.target < 0 || static_cast<std::size_t>(event.target) >= active.size()) return nullptr;
    return active[static_cast<std::size_t>(event.target)];
}

MusicFacts readMusicFacts(DemoFiles& files) {
    MusicFacts music;
    std::vector<uint8_t> bytes;
    music.opened = files.read(musicFileName, bytes);
    if (!music.opened) return music;
    Quiet quiet;
    Mp3Stream stream;
    std::vector<int16_t> pcm;
    music.decodable = stream.open(bytes.data(), bytes.size()) || decodeMp3(bytes.data(), bytes.size(), pcm);
    return music;
}

DemoCheckListeners::DemoCheckListeners() : heard(std::make_unique<Heard>()) {}

DemoCheckListeners::~DemoCheckListeners() = default;

DemoListeners DemoCheckListeners::listeners() { return DemoListeners{&heard->script, &heard->sync, &heard->assets}; }

std::string DemoCheckListeners::problemWith(const std::string& name) const {
    const AssetFacts& assets = heard->assets;
    if (const auto found = assets.objects.find(name); found != assets.objects.end()) {
        const ObjectFacts& object = found->second;
        if (!object.opened) return "cannot open " + name + ": " + object.reason;
        return object.parsed ? "" : "cannot read the object file " + name;
    }
    if (const auto found = assets.pictures.find(name); found != assets.pictures.end()) {
        const PictureFacts& picture = found->second;
        if (!picture.opened) return "cannot open picture file " + name + ": " + picture.reason;
        if (picture.decodedBy.empty()) return "cannot decode the picture file " + name;
        // Play draws it as it comes (a JPEG cut short is filled in grey),
        // but it must not pass as a good edit.
        if (!picture.damage.empty()) return "the picture file " + name + " is damaged: " + picture.damage;
    }
    return {};
}

DemoCheckReport checkDemo(const std::string& directory, CheckedFor mode, const MusicFacts* knownMusic,
                          FileReader disk) {
    DemoFiles files(std::move(disk), directory);
    DemoCheckListeners heard;
    LoadedDemo demo;
    {
        Quiet quiet;
        loadSync(demo, files, &heard.heard->sync);
        // The effects stay uninitialised: no window, nothing drawn. Their
        // pictures and objects are read as the report comes to them.
        loadScript(demo, files, nullptr, ScriptReaderSetup{.limits = DemoLimits{}, .waitForKey = nullptr},
                   heard.listeners());
    }
    heard.music = knownMusic != nullptr ? *knownMusic : readMusicFacts(files);
    return checkLoadedDemo(heard, demo, files, mode);
}

DemoCheckReport checkLoadedDemo(DemoCheckListeners& heard, const LoadedDemo& demo, DemoFiles& files, CheckedFor mode) {
    return DemoChecker(heard, demo, files, mode).run();
}
