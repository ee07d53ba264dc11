#pragma once
// What the script reader finds, line by line, for tools that report on a
// script. The player listens to nothing; its console output is the same with
// or without a listener. Lines count from 1.
#include <string>
#include <string_view>

#include "framework/effect.h"

class EffectInstance;

enum class ScriptProblem {
    LineTooLong,      // cut to its first 199 characters
    BadDefinition,    // not "defineEffect NAME as TYPE": the block is not read
    BlockBroken,      // a block line that is no parameter line: the block ends
    BlockUnfinished,  // the script ends inside a block (line: its header)
    NoValue,          // a parameter line with nothing after ":"
    BadInstance,      // not "createInstance of EFFECT as INSTANCE at START END"
    BadAddChild,      // not "addChild CHILD to PARENT"
    TableFull,        // the 513th effect or instance
};

class ScriptListener {
public:
    virtual ~ScriptListener() = default;
    // The script's bytes as read, before anything is taken from them.
    virtual void scriptText(std::string_view /*text*/) {}
    // A statement line; keyword is its first token, known or not.
    virtual void statement(int /*line*/, std::string_view /*keyword*/) {}
    // effect is null when no type of that name is registered.
    virtual void effectDefined(int /*line*/, const std::string& /*name*/, std::string_view /*type*/,
                               const Effect* /*effect*/) {}
    // A parameter line of the block of effectName, with the kind the value is
    // stored as and the value as written.
    virtual void parameter(int /*line*/, const std::string& /*effectName*/, std::string_view /*name*/,
                           ParameterKind /*kind*/, std::string_view /*value*/) {}
    // effectFound is false when no effect of that name was defined before.
    virtual void instanceCreated(int /*line*/, const EffectInstance& /*instance*/, std::string_view /*effectName*/,
                                 bool /*effectFound*/) {}
    // added is false when a name was not found or the link was refused.
    virtual void childAdded(int /*line*/, std::string_view /*child*/, std::string_view /*parent*/, bool /*added*/) {}
    virtual void problem(int /*line*/, ScriptProblem /*problem*/) {}
};
