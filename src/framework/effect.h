#pragma once
// Base of every visual effect: three named parameter tables filled by the
// script reader, the window and local time of the instance being drawn, and
// the five operations the rest of the player calls.
#include <memory>
#include <string>
#include <vector>

struct DemoLimits;
class RenderState;

// Inclusive range tests: low <= value && value <= high.
bool inRange(float low, float value, float high);
bool inRange(int low, int value, int high);

// The table a parameter value is stored in, chosen by the script's syntax.
enum class ParameterKind { Float, Integer, Text };

// Hears every parameter name an effect asks for, with the table asked.
// Tests hold effect types to their lists.
using ParameterReadHook = void (*)(const std::string& name, ParameterKind kind);

// An ordered table of at most 512 named values. The table stores pointers;
// the script reader owns names and values for the life of the process.
template <typename Value>
class ParameterTable {
public:
    static constexpr int capacity = 512;
    struct Entry {
        std::string name;
        Value value;
    };
    // Replaces the value of an existing entry (which keeps its place) or
    // appends one. Returns false when the table is full.
    bool set(const std::string& name, Value value) {
        for (Entry& entry : entries) {
            if (entry.name == name) {
                entry.value = value;
                return true;
            }
        }
        if (size() >= capacity) return false;
        entries.push_back(Entry{name, value});
        return true;
    }
    // First entry with exactly this name, or null.
    const Entry* find(const std::string& name) const {
        for (const Entry& entry : entries) {
            if (entry.name == name) return &entry;
        }
        return nullptr;
    }
    int size() const { return static_cast<int>(entries.size()); }
    const std::vector<Entry>& all() const { return entries; }

private:
    std::vector<Entry> entries;
};

class Effect {
public:
    Effect() = default;
    virtual ~Effect() = default;
    Effect(const Effect&) = delete;
    Effect& operator=(const Effect&) = delete;

    // Builds what the parameters describe; textures are uploaded through
    // renderState, which must outlive the effect.
    virtual void init(RenderState& /*renderState*/, const DemoLimits& /*limits*/) {}
    virtual void draw(RenderState& /*renderState*/) {}
    virtual std::unique_ptr<Effect> newInstance() { return std::make_unique<Effect>(); }
    virtual std::string typeName() { return "Effect"; }
    virtual void onSyncEvent(std::string /*name*/) {}
    // Undoes every sync event received: a seek back in live authoring
    // delivers them again from the first. An effect whose events change
    // what it draws must reset that state here.
    virtual void clearSyncState() {}

    // Writers used by the script reader; the pointed-to values must outlive
    // the effect. A full table drops the value with a message.
    void setFloat(const std::string& name, float* value);
    void setInt(const std::string& name, int* value);
    void setString(const std::string& name, const char* text);

    // Readers used by effect types in init; each reports an absent name.
    float* getFloat(const std::string& name);
    int* getInt(const std::string& name);
    const char* getString(const std::string& name);
    std::string getStringValue(const std::string& name);
    // From now on hook hears every name the readers above are asked for;
    // null for nobody (the default).
    void watchParameterReads(ParameterReadHook hook) { readHook = hook; }
    // The text of a parameter, or null, without reporting an absent name.
    const char* findString(const std::string& name) const {
        const auto* entry = stringParameters.find(name);
        return entry != nullptr ? entry->value : nullptr;
    }

    // The tables as the script filled them, for tools that show them.
    const ParameterTable<float*>& floatTable() const { return floatParameters; }
    const ParameterTable<int*>& intTable() const { return intParameters; }
    const ParameterTable<const char*>& stringTable() const { return stringParameters; }

    void setWindow(float windowStart, float windowEnd) {
        start = windowStart;
        end = windowEnd;
    }
    void setTime(float localTime) { time = localTime; }
    float getTime() const { return time; }
    float getStart() const { return start; }
    float getEnd() const { return end; }

protected:
    float start = 0.0f;
    float end = 0.0f;
    float time = 0.0f;
    ParameterTable<float*> floatParameters;
    ParameterTable<int*> intParameters;
    ParameterTable<const char*> stringParameters;

private:
    ParameterReadHook readHook = nullptr;
};
