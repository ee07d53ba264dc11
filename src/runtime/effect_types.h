#pragma once
// Registers one prototype of every effect type the scripts may name.
class ScriptReader;

void registerEffectTypes(ScriptReader& reader);
