#pragma once
// quarn2 --check: reads a demo the way the player does, with no window, no
// sound and none of the player's console output, and reports each likely
// mistake the way compilers do: "iDemo.dat:12: error: ...".
#include <string>
#include <vector>

class EffectInstance;
struct SyncEvent;

struct DemoCheckReport {
    // The script's findings in line order, then the sync file's (a note for
    // every event), then the music's.
    std::vector<std::string> lines;
    int errors = 0;
    int warnings = 0;
};

// Whose outcome a report describes where they differ: a missing picture ends
// play, while --live plays on with the last good reading.
enum class CheckedFor { play, live };

// Where --check says a sync event goes: the instance at its target among
// those active at the event's own time; null when there is none. active:
// room for the list of those, which it holds afterwards.
EffectInstance* syncEventDestination(EffectInstance& root, const SyncEvent& event,
                                     std::vector<EffectInstance*>& active);

// Reads iDemo.dat, test.dat, demomusik.mp3 and every file the script names
// from directory. Prints nothing; safe to call again (after a reload).
DemoCheckReport checkDemo(const std::string& directory, CheckedFor mode = CheckedFor::play);
