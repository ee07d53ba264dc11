#pragma once
// Test doubles and console capture shared by the framework tests.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "framework/effect.h"

// Splits captured console text into lines; a last line without a newline is
// kept as it is, so missing line ends show up in comparisons.
inline std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t begin = 0;
    while (begin < text.size()) {
        const std::size_t newline = text.find('\n', begin);
        if (newline == std::string::npos) {
            lines.push_back(text.substr(begin));
            break;
        }
        lines.push_back(text.substr(begin, newline - begin));
        begin = newline + 1;
    }
    return lines;
}

struct Console {
    std::string out;
    std::string err;
};

// Runs action with standard output and standard error captured.
template <typename Action>
Console captureConsole(Action action) {
    std::fflush(stdout);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    action();
    std::fflush(stdout);
    Console console;
    console.out = testing::internal::GetCapturedStdout();
    console.err = testing::internal::GetCapturedStderr();
    return console;
}

// An effect type with a free type name that writes what happens to it into a
// shared journal: "init <type>", "draw <label> window=<start>..<end> t=<time>".
class JournalEffect : public Effect {
public:
    JournalEffect(std::string type, std::vector<std::string>* journal, std::string label = "")
        : type(std::move(type)), journal(journal), label(label.empty() ? this->type : std::move(label)) {}

    void init(RenderState&, const DemoLimits&) override { journal->push_back("init " + label); }
    void draw(RenderState&) override {
        char text[160];
        std::snprintf(text, sizeof text, "draw %s window=%g..%g t=%g", label.c_str(), getStart(), getEnd(), getTime());
        journal->push_back(text);
    }
    std::unique_ptr<Effect> newInstance() override { return std::make_unique<JournalEffect>(type, journal, label); }
    std::string typeName() override { return type; }
    void onSyncEvent(std::string name) override { journal->push_back("event " + name); }

    // Parameter tables are protected; tests look at them through the readers.
    using Effect::floatParameters;
    using Effect::intParameters;
    using Effect::stringParameters;

private:
    std::string type;
    std::vector<std::string>* journal;
    std::string label;
};

// Counts key waits instead of blocking on the console: a reader made with
// waitForKey = KeyWaitCounter::count.
struct KeyWaitCounter {
    static inline int waits = 0;
    static void count() { ++waits; }
    KeyWaitCounter() { waits = 0; }
};
