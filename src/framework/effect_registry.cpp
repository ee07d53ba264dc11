#include "framework/effect_registry.h"

#include <cstdio>
#include <utility>

#include "framework/effect.h"
#include "platform/report.h"

EffectRegistry::EffectRegistry() { prototypes.push_back(std::make_unique<Effect>()); }

EffectRegistry::~EffectRegistry() = default;

void EffectRegistry::registerType(std::unique_ptr<Effect> prototype) {
    if (prototype != nullptr) prototypes.push_back(std::move(prototype));
}

std::unique_ptr<Effect> EffectRegistry::createEffect(std::string typeName) {
    for (std::size_t index = 0; index < prototypes.size(); ++index) {
        Effect& prototype = *prototypes[index];
        const std::string prototypeName = prototype.typeName();
        QUARN_REPORTF(Output, "effect %i : %s\n", static_cast<int>(index), prototypeName.c_str());
        QUARN_REPORTF(Output, "name : %s\n", typeName.c_str());
        if (prototypeName == typeName) return prototype.newInstance();
    }
    QUARN_REPORT(Log, "Effect " + typeName + " could not be created!");
    return nullptr;
}
