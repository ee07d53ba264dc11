#include "framework/effect.h"
#include "platform/report.h"

namespace {

void reportTableFull() { QUARN_REPORT(Log, "parameter could not be set!\n"); }

void reportMissing(const std::string& name) { QUARN_REPORT(Log, "Could not find value for parameter " + name + "\n"); }

template <typename Value>
Value lookup(const ParameterTable<Value>& table, const std::string& name, ParameterKind kind,
             ParameterReadHook readHook) {
    if (readHook != nullptr) readHook(name, kind);
    const auto* entry = table.find(name);
    if (entry == nullptr) {
        reportMissing(name);
        return nullptr;
    }
    return entry->value;
}

}  // namespace

void Effect::setFloat(const std::string& name, float* value) {
    if (!floatParameters.set(name, value)) reportTableFull();
}

void Effect::setInt(const std::string& name, int* value) {
    if (!intParameters.set(name, value)) reportTableFull();
}

void Effect::setString(const std::string& name, const char* text) {
    if (!stringParameters.set(name, text)) reportTableFull();
}

float* Effect::getFloat(const std::string& name) {
    return lookup(floatParameters, name, ParameterKind::Float, readHook);
}

int* Effect::getInt(const std::string& name) { return lookup(intParameters, name, ParameterKind::Integer, readHook); }

const char* Effect::getString(const std::string& name) {
    return lookup(stringParameters, name, ParameterKind::Text, readHook);
}

std::string Effect::getStringValue(const std::string& name) {
    const char* text = lookup(stringParameters, name, ParameterKind::Text, readHook);
    return text != nullptr ? std::string(text) : std::string();
}
