#include "script_outline.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>

namespace {

constexpr size_t maxLineLength = 199;

std::vector<std::string> tokens(const std::string& line) {
    std::vector<std::string> out;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ') ++i;
        size_t start = i;
        while (i < line.size() && line[i] != ' ') ++i;
        if (i > start) out.push_back(line.substr(start, i - start));
    }
    return out;
}

bool skippedAtTopLevel(const std::string& line) {
    if (line.empty() || line[0] == '#') return true;
    for (size_t i = 1; i < line.size(); ++i)
        if (line[i] != ' ' && line[i] != '\t') return false;
    return true;
}

// The value after the ":" token with the spaces that follow it skipped;
// empty when nothing else is on the line.
std::string valueAfterOperator(const std::string& line) {
    size_t i = 0;
    for (int token = 0; token < 2; ++token) {
        while (i < line.size() && line[i] == ' ') ++i;
        while (i < line.size() && line[i] != ' ') ++i;
    }
    while (i < line.size() && line[i] == ' ') ++i;
    return line.substr(i);
}

}  // namespace

const ScriptParameter* ScriptEffect::find(const std::string& parameterName) const {
    for (const ScriptParameter& p : parameters)
        if (p.name == parameterName) return &p;
    return nullptr;
}

int ScriptOutline::findEffect(const std::string& name) const {
    for (size_t i = 0; i < effects.size(); ++i)
        if (effects[i].name == name) return int(i);
    return -1;
}

int ScriptOutline::findInstance(const std::string& name) const {
    for (size_t i = 0; i < instances.size(); ++i)
        if (instances[i].name == name) return int(i);
    return -1;
}

ScriptOutline readScriptOutline(const std::string& text) {
    ScriptOutline script;
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t newline = text.find('\n', pos);
        if (newline == std::string::npos) {
            script.problems.push_back("line " + std::to_string(lines.size() + 1) +
                                      ": last line has no newline and would be ignored");
            break;
        }
        std::string line = text.substr(pos, newline - pos);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        pos = newline + 1;
    }

    auto problem = [&](size_t index, const std::string& what) {
        script.problems.push_back("line " + std::to_string(index + 1) + ": " + what);
    };

    int currentEffect = -1;
    for (size_t i = 0; i < lines.size() && !script.endedWithBah; ++i) {
        const std::string& line = lines[i];
        if (line.size() > maxLineLength) problem(i, "longer than 199 characters");
        if (line.find('\t') != std::string::npos) problem(i, "tab character");

        if (currentEffect >= 0) {
            if (line == "end") {
                currentEffect = -1;
                continue;
            }
            std::vector<std::string> t = tokens(line);
            if (t.size() < 2 || t[1] != ":") {
                problem(i, "block line without ' : ' operator (or unterminated block)");
                currentEffect = -1;
                continue;
            }
            std::string value = valueAfterOperator(line);
            if (value.empty()) {
                problem(i, "parameter without value");
                continue;
            }
            ScriptParameter p;
            p.name = t[0];
            p.line = int(i + 1);
            if (value[0] == '%') {
                p.kind = ValueKind::Integer;
                p.value = value.substr(1);
            } else if (std::isdigit(static_cast<unsigned char>(value[0]))) {
                p.kind = ValueKind::Float;
                p.value = value;
            } else if (value[0] == '"') {
                p.value = value.size() >= 2 ? value.substr(1, value.size() - 2) : "";
                p.quoted = true;
                if (value.size() < 2 || value.back() != '"') problem(i, "quoted value does not end in a quote");
            } else {
                p.value = value;
            }
            if (value.back() == ' ') problem(i, "trailing space belongs to the value");
            ScriptEffect& effect = script.effects[size_t(currentEffect)];
            if (effect.find(p.name)) problem(i, "parameter " + p.name + " set twice");
            effect.parameters.push_back(p);
            continue;
        }

        if (skippedAtTopLevel(line)) continue;
        std::vector<std::string> t = tokens(line);
        auto token = [&](size_t k) { return k < t.size() ? t[k] : std::string(); };
        const std::string& keyword = t[0];
        if (keyword == "defineEffect") {
            if (t.size() != 4 || token(2) != "as") {
                problem(i, "bad defineEffect header");
                continue;
            }
            if (script.findEffect(t[1]) >= 0) problem(i, "effect " + t[1] + " defined twice");
            script.effects.push_back({t[1], t[3], {}});
            currentEffect = int(script.effects.size() - 1);
        } else if (keyword == "createInstance") {
            if (t.size() != 8 || token(1) != "of" || token(3) != "as" || token(5) != "at") {
                problem(i, "bad createInstance statement");
                continue;
            }
            ScriptInstance instance;
            instance.name = t[4];
            instance.effect = script.findEffect(t[2]);
            instance.start = float(std::atof(t[6].c_str()));
            instance.end = float(std::atof(t[7].c_str()));
            if (instance.effect < 0) problem(i, "unknown effect " + t[2]);
            if (script.findInstance(instance.name) >= 0) problem(i, "instance " + instance.name + " created twice");
            if (instance.end < instance.start) problem(i, "window ends before it starts");
            script.instances.push_back(instance);
        } else if (keyword == "addChild") {
            if (t.size() != 4 || token(2) != "to") {
                problem(i, "bad addChild statement");
                continue;
            }
            int child = script.findInstance(t[1]);
            int parent = script.findInstance(t[3]);
            if (child < 0) problem(i, "unknown instance " + t[1]);
            if (parent < 0) problem(i, "unknown instance " + t[3]);
            if (child >= 0 && parent >= 0) script.instances[size_t(parent)].children.push_back(child);
        } else if (keyword == "bah") {
            script.endedWithBah = true;
        } else {
            problem(i, "unknown statement " + keyword);
        }
    }
    if (currentEffect >= 0) script.problems.push_back("end of file inside a definition block");
    return script;
}

std::vector<int> activeInstances(const ScriptOutline& script, int root, float t) {
    std::vector<int> out;
    std::function<void(int, float, int)> visit = [&](int index, float parentTime, int depth) {
        const ScriptInstance& instance = script.instances[size_t(index)];
        if (depth > 64 || parentTime < instance.start || parentTime > instance.end) return;
        out.push_back(index);
        for (int child : instance.children) visit(child, parentTime - instance.start, depth + 1);
    };
    if (root >= 0) visit(root, t, 0);
    return out;
}

std::vector<PlacedInstance> placeInstances(const ScriptOutline& script, int root) {
    std::vector<PlacedInstance> out;
    // offset: frame time at which the parent's local time is 0.
    std::function<void(int, double, double, double, int)> visit = [&](int index, double offset, double parentFrom,
                                                                      double parentTo, int depth) {
        const ScriptInstance& instance = script.instances[size_t(index)];
        double from = depth == 0 ? instance.start : std::max(parentFrom, offset + instance.start);
        double to = depth == 0 ? instance.end : std::min(parentTo, offset + instance.end);
        if (depth > 64 || from > to) return;
        out.push_back({index, from, to, depth});
        for (int child : instance.children) visit(child, offset + instance.start, from, to, depth + 1);
    };
    if (root >= 0) visit(root, 0, 0, 0, 0);
    return out;
}

std::string readTextFile(const std::string& path, bool& ok) {
    std::ifstream in(path, std::ios::binary);
    ok = bool(in);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}
