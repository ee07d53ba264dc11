#pragma once
// Turns a plan of sync cues (on beats, addressed to instances by name) into
// the lines of a sync file, whose targets are positions among the instances
// active when each event is due.
#include <string>
#include <vector>

#include "script_outline.h"

struct SyncCue {
    int firstBeat;
    int lastBeat;  // inclusive
    int everyBeats;
    std::string name;
    std::string instance;
};

struct SyncEventLine {
    double time;
    std::string name;
    int target;
};

// Events of every cue, sorted by time. A cue whose instance is not active at
// one of its beats is reported in problems and that beat is left out.
std::vector<SyncEventLine> planSyncEvents(const ScriptOutline& script, const std::string& root,
                                          const std::vector<SyncCue>& cues, std::vector<std::string>& problems);

std::string formatSyncFile(const std::vector<SyncEventLine>& events);
