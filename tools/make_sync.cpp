// tool_sync: writes the sync file for the bundled demo's script. Events are
// planned on the tune's beats and addressed to instances by name; the file
// gets each target's position among the instances active at that moment.
// Usage: tool_sync iDemo.dat test.dat
#include <cstdio>
#include <string>
#include <vector>

#include "script_outline.h"
#include "sync_plan.h"
#include "tga_writer.h"

namespace {

// Beat 4k is the downbeat of bar k; a bar is 2 seconds.
const std::vector<SyncCue> cues = {
    // The sea tips back 5 degrees on every bar; its orientation drifts
    // forward 5 degrees per bar to meet the next one.
    {36, 92, 4, "offset", "landscape.waves"},
    // Each zrotate rolls the galaxy and jumps its formula time.
    {100, 140, 4, "zrotate", "stars.galaxy"},
    // Each offset turns the helix 40 degrees.
    {148, 188, 4, "offset", "helix.spiral"},
    // The torus recedes 5 units per bar and is pushed back on the downbeat.
    {196, 252, 4, "pushback", "chromescene.torus"},
    {292, 348, 4, "offset", "lake.fountain"},
    {356, 412, 4, "offset", "planetscene.stars"},
    {420, 444, 4, "zrotate", "drift.dust"},
    // Every half bar in the finale.
    {452, 476, 2, "offset", "finale.racer"},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s SCRIPT SYNC_FILE\n", argv[0]);
        return 2;
    }
    bool ok = false;
    std::string text = readTextFile(argv[1], ok);
    if (!ok) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    ScriptOutline script = readScriptOutline(text);
    std::vector<std::string> problems = script.problems;
    std::vector<SyncEventLine> events = planSyncEvents(script, "iDemo", cues, problems);
    for (const std::string& p : problems) std::fprintf(stderr, "%s\n", p.c_str());
    if (!problems.empty()) return 1;
    std::string file = formatSyncFile(events);
    return writeBytes(argv[2], std::vector<uint8_t>(file.begin(), file.end())) ? 0 : 1;
}
