#include "framework/effect.h"
#include "platform/report.h"

namespace {

ParameterReadHook readHook = nullptr;

void reportTableFull() { QUARN_REPORT(Log, "parameter could not be set!\n"); }

void reportMissing(const std::string& name) { QUARN_REPORT(Log, "Could not find value for parameter " + name + "\n"); }

template <typename Value>
Value lookup(const ParameterTable<Value>& table, const std::string& name, ParameterKind kind) {
    if (readHook != nullptr) readHook(name, kind);
    const auto* entry = table.find(name);
    if (entry == nullptr) {
        reportMissing(name);
        return nullptr;
    }
    return entry->value;
}

}  // namespace

void setParameterReadHook(ParameterReadHook hook) { readHook = hook; }

void Effect::setFloat(const std::string& name, float* value) {
    if (!floatParameters.set(name, value)) reportTableFull();
}

void Effect::setInt(const std::string& name, int* value) {
    if (!intParameters.set(name, value)) reportTableFull();
}

void Effect::setString(const std::string& name, const char* text) {
    if (!stringParameters.set(name, text)) reportTableFull();
}

float* Effect::getFloat(const std::string& name) { return lookup(floatParameters, name, ParameterKind::Float); }

int* Effect::getInt(const std::string& name) { return lookup(intParameters, name, ParameterKind::Integer); }

const char* Effect::getString(const std::string& name) { return lookup(stringParameters, name, ParameterKind::Text); }

std::string Effect::getStringValue(const std::string& name) {
    const char* text = lookup(stringParameters, name, ParameterKind::Text);
    return text != nullptr ? std::string(text) : std::string();
}
