#pragma once
// Turns a type name from the script into a new effect by asking the
// prototype of that type for a fresh instance. Index 0 is always "Effect".
#include <memory>
#include <string>
#include <vector>

class Effect;

class EffectRegistry {
public:
    EffectRegistry();
    ~EffectRegistry();
    // The search order is the registration order.
    void registerType(std::unique_ptr<Effect> prototype);
    // A new effect, or null (with a message) when no prototype has that
    // type name.
    std::unique_ptr<Effect> createEffect(std::string typeName);

private:
    std::vector<std::unique_ptr<Effect>> prototypes;
};
