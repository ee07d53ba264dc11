#pragma once
// Every effect type's parameters as its init reads them, and the sync events
// it reacts to. The script checker holds scripts to these lists; tests hold
// the effects' init and docs/effects.md to them.
#include <string>
#include <string_view>
#include <vector>

#include "framework/effect.h"

enum class ParameterUse {
    Number,      // float table: a value starting with a digit
    Integer,     // integer table: %N
    Word,        // text: one of choices when choices is not empty
    Expression,  // text compiled over variables
    Picture,     // text: a TGA or JPEG file name
    Object,      // text: an object file name (LightWave, OBJ, glTF)
};

struct ParameterDeclaration {
    std::string_view name;
    ParameterUse use;
    std::string_view variables = {};          // Expression: the variable list, as given to the parser
    bool required = false;                    // the effect cannot do without it
    std::string_view choices = {};            // Word: the understood words, separated by spaces
    bool knowsPi = false;                     // Expression: the constant pi is declared
    std::string_view onlyWithout = {};        // read only when this parameter is absent
    std::string_view onlyWith = {};           // read only when this parameter is given
    std::string_view unread = {};             // what follows when the value is given but not read
    int (*usedValue)(int written) = nullptr;  // Integer: the value the effect uses for a written one
};

struct EffectTypeDeclaration {
    std::string_view typeName;
    std::vector<ParameterDeclaration> parameters;
    std::vector<std::string_view> syncEvents;  // names its onSyncEvent reacts to
};

// The plain Effect first, then the registered types in registration order.
const std::vector<EffectTypeDeclaration>& effectTypeDeclarations();
// Null when no type has that name.
const EffectTypeDeclaration* findEffectTypeDeclaration(std::string_view typeName);
const ParameterDeclaration* findParameterDeclaration(const EffectTypeDeclaration& type, std::string_view name);

// The table a value for this use must be stored in.
ParameterKind storedKind(ParameterUse use);
// How docs/effects.md names the use: "float", "integer", "text",
// "expression of t, i, n", "picture", "object file".
std::string describeUse(const ParameterDeclaration& parameter);
