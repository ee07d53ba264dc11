#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <random>
#include <string>
#include <vector>

#include "framework/effect_instance.h"
#include "framework/key_press.h"
#include "framework/script_reader.h"
#include "framework_test_helpers.h"
#include "support/null_render_state.h"

namespace {

// Reads text with every effect type registered; returns the number of
// instances collected from the root (which also proves the tree has no loop).
std::size_t readGarbage(const std::string& text) {
    std::vector<std::string> journal;
    ScriptReader reader(ScriptReaderSetup{.limits = {}, .waitForKey = KeyWaitCounter::count});
    reader.registerType(std::make_unique<JournalEffect>("FxGLUVMap", &journal));
    NullRenderState renderState;
    EffectInstance* root = nullptr;
    captureConsole([&] { root = reader.loadFromText(text, "iDemo.dat", renderState); });
    if (root == nullptr) return 0;
    root->render(1.0f, renderState);
    return root->collectActive(1.0f).size();
}

// Random lines built from script words, numbers and raw bytes, so that many
// of them get past the keyword checks.
std::string randomScript(std::mt19937& random) {
    static const std::vector<std::string> words = {
        "defineEffect", "as",    "Effect",   "FxGLUVMap", "end", "createInstance",
        "of",           "at",    "addChild", "to",        ":",   "%",
        "\"",           "iDemo", "a",        "b",         "0",   "-1",
        ".5",           "1e40",  "%-",       "\t",        "#",   "bah",
        "\r",           "\0"};
    std::string text;
    const int lineCount = std::uniform_int_distribution<int>(0, 60)(random);
    for (int line = 0; line < lineCount; ++line) {
        const int pieces = std::uniform_int_distribution<int>(0, 10)(random);
        for (int piece = 0; piece < pieces; ++piece) {
            if (random() % 4 == 0) {
                text += static_cast<char>(random() % 256);
            } else {
                text += words[random() % words.size()];
            }
            if (random() % 3 != 0) text += ' ';
        }
        text += '\n';
    }
    return text;
}

TEST(ScriptGarbage, NoByteSequenceBreaksTheReader) {
    KeyWaitCounter keyWaits;
    std::mt19937 random(20240611);
    for (int round = 0; round < 300; ++round) {
        readGarbage(randomScript(random));
        std::string bytes(random() % 2000, '\0');
        for (char& byte : bytes) byte = static_cast<char>(random() % 256);
        readGarbage(bytes);
    }
    EXPECT_GT(KeyWaitCounter::waits, 0);  // the generator does reach parameter lines
}

TEST(ScriptGarbage, NulBytesEndALineAndHugeLinesAreCut) {
    KeyWaitCounter keyWaits;
    EXPECT_EQ(readGarbage(std::string(1000, '\0')), 0u);
    EXPECT_EQ(readGarbage(std::string(1 << 20, 'x') + "\n"), 0u);
    EXPECT_EQ(readGarbage(std::string(1 << 20, ' ') + "\n" + std::string(1 << 20, '\n')), 0u);

    using namespace std::string_literals;
    const std::string script = "defineEffect e as FxGLUVMap\0ignored\n"s + "u : " + std::string(100000, '"') + "\n" +
                               "end\n"
                               "createInstance of e as iDemo at 0 1e39\n"
                               "createInstance of e as iDemo2 at 0 1\0 at 0 1\n"s +
                               "addChild iDemo2 to iDemo\0bah\n"s + "addChild iDemo2 to iDemo\n";
    EXPECT_EQ(readGarbage(script), 3u);
}

// Runs action with standard input replaced by fd (or closed when fd < 0).
template <typename Action>
void withStandardInput(int fd, Action action) {
    const int saved = dup(STDIN_FILENO);
    if (fd >= 0) {
        dup2(fd, STDIN_FILENO);
    } else {
        close(STDIN_FILENO);
    }
    action();
    dup2(saved, STDIN_FILENO);
    close(saved);
}

TEST(KeyPress, ConsoleWaitReturnsAtOnceWithoutATerminal) {
    const int devNull = open("/dev/null", O_RDONLY);
    ASSERT_GE(devNull, 0);
    withStandardInput(devNull, [] { waitForConsoleKey(); });
    close(devNull);

    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);  // nothing is ever written: a read would hang
    withStandardInput(pipeEnds[0], [] { waitForConsoleKey(); });
    close(pipeEnds[0]);
    close(pipeEnds[1]);

    withStandardInput(-1, [] { waitForConsoleKey(); });
}

}  // namespace
