#pragma once
// Gives effects parameters the way the script reader does, keeping the
// values alive for as long as this object (make it outlive the effects).
#include <deque>
#include <string>

class Effect;

class EffectParameters {
public:
    void text(Effect& effect, const std::string& name, const std::string& value);
    void integer(Effect& effect, const std::string& name, int value);
    void number(Effect& effect, const std::string& name, float value);

private:
    std::deque<std::string> texts;
    std::deque<int> integers;
    std::deque<float> numbers;
};
