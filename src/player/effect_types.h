#pragma once
// Registers one prototype of every effect type the scripts may name.
#include <string>
#include <vector>

class ScriptReader;

void registerEffectTypes(ScriptReader& reader);
// The names those prototypes give, in registration order (which is the
// registry's search order).
std::vector<std::string> effectTypeNames();
