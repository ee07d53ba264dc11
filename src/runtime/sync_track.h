#pragma once
// The demo's timed events, read once from the sync file and never changed.
// Each line of the file is "time name target", separated by runs of blanks.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct SyncEvent {
    float time;        // demo seconds from which the event is due
    std::string name;  // handed to the target effect as it is
    int32_t target;    // position among the instances active at delivery
};

// File order, not sorted by time.
using SyncTrack = std::vector<SyncEvent>;

// Lines longer than this are cut, and reading stops after them.
constexpr std::size_t maxSyncLineLength = 255;

// Appends the events of the file to track. A file that cannot be opened
// prints a message and leaves the track as it was; returns false then.
bool readSyncTrack(const std::string& path, SyncTrack& track);
// The same for file contents held in memory.
void readSyncTrackFromBytes(const char* data, std::size_t size, SyncTrack& track);
