#include "support/effect_parameters.h"

#include "framework/effect.h"

void EffectParameters::text(Effect& effect, const std::string& name, const std::string& value) {
    texts.push_back(value);
    effect.setString(name, texts.back().c_str());
}

void EffectParameters::integer(Effect& effect, const std::string& name, int value) {
    integers.push_back(value);
    effect.setInt(name, &integers.back());
}

void EffectParameters::number(Effect& effect, const std::string& name, float value) {
    numbers.push_back(value);
    effect.setFloat(name, &numbers.back());
}
