#include "sync_plan.h"

#include <algorithm>
#include <cstdio>

#include "tempo.h"

std::vector<SyncEventLine> planSyncEvents(const ScriptOutline& script, const std::string& root,
                                          const std::vector<SyncCue>& cues, std::vector<std::string>& problems) {
    std::vector<SyncEventLine> events;
    const int rootIndex = script.findInstance(root);
    if (rootIndex < 0) {
        problems.push_back("no root instance " + root);
        return events;
    }
    for (const SyncCue& cue : cues) {
        const int wanted = script.findInstance(cue.instance);
        if (wanted < 0) {
            problems.push_back("no instance " + cue.instance);
            continue;
        }
        for (int beat = cue.firstBeat; beat <= cue.lastBeat; beat += cue.everyBeats) {
            const double time = tempo::beatTime(beat);
            std::vector<int> active = activeInstances(script, rootIndex, float(time));
            auto found = std::find(active.begin(), active.end(), wanted);
            if (found == active.end()) {
                problems.push_back(cue.name + " at " + std::to_string(time) + ": " + cue.instance + " is not active");
                continue;
            }
            events.push_back({time, cue.name, int(found - active.begin())});
        }
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const SyncEventLine& a, const SyncEventLine& b) { return a.time < b.time; });
    return events;
}

std::string formatSyncFile(const std::vector<SyncEventLine>& events) {
    std::string out;
    char line[128];
    for (const SyncEventLine& e : events) {
        std::snprintf(line, sizeof line, "%.2f %s %d\n", e.time, e.name.c_str(), e.target);
        out += line;
    }
    return out;
}
