#pragma once
// Reads the structure of a demo script (effects, their parameters,
// instances and the tree) and lists every line the player would reject or
// misread. The tools use it to place sync events; the tests use it to check
// the bundled script.
#include <string>
#include <vector>

enum class ValueKind { Integer, Float, Text };

struct ScriptParameter {
    std::string name;
    ValueKind kind = ValueKind::Text;
    std::string value;  // as stored: quotes removed from a quoted text
    bool quoted = false;
    int line = 0;
};

struct ScriptEffect {
    std::string name;
    std::string type;
    std::vector<ScriptParameter> parameters;
    const ScriptParameter* find(const std::string& parameterName) const;
};

struct ScriptInstance {
    std::string name;
    int effect = -1;  // index into effects
    float start = 0;
    float end = 0;
    std::vector<int> children;  // indices into instances, in addChild order
};

struct ScriptOutline {
    std::vector<ScriptEffect> effects;
    std::vector<ScriptInstance> instances;
    std::vector<std::string> problems;  // "line N: what is wrong"
    bool endedWithBah = false;

    int findEffect(const std::string& name) const;
    int findInstance(const std::string& name) const;
};

ScriptOutline readScriptOutline(const std::string& text);

// Instances active at frame time t under root, in the player's pre-order:
// an instance is listed when its window holds its parent's local time (the
// root against t itself), before its children, children in order.
std::vector<int> activeInstances(const ScriptOutline& script, int root, float t);

// Every instance reachable from root with its window in frame time.
struct PlacedInstance {
    int instance;
    double from;  // frame time when it becomes active
    double to;
    int depth;
};
std::vector<PlacedInstance> placeInstances(const ScriptOutline& script, int root);

std::string readTextFile(const std::string& path, bool& ok);
