#pragma once
// The demo's timed events, read once from the sync file and never changed.
// Each line of the file is "time name target", separated by runs of blanks.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "assets/asset_reading.h"

struct SyncEvent {
    float time;        // demo seconds from which the event is due
    std::string name;  // handed to the target effect as it is
    int32_t target;    // position among the instances active at delivery
};

// File order, not sorted by time.
using SyncTrack = std::vector<SyncEvent>;

// Lines longer than this are cut, and reading stops after them.
constexpr std::size_t maxSyncLineLength = 255;

// What the sync reader finds, line by line, for tools that report on a demo.
// Lines count from 1, after a byte order mark.
class SyncListener {
public:
    virtual ~SyncListener() = default;
    // The file's bytes as read, before anything is taken from them.
    virtual void fileRead(std::string_view /*bytes*/) {}
    virtual void byteOrderMark() {}
    // A line that is read: event is what it gives, null when it is skipped;
    // cut when it was longer than maxSyncLineLength (reading stops after it).
    virtual void line(int /*number*/, std::string_view /*text*/, const SyncEvent* /*event*/, bool /*cut*/) {}
    // The empty line that ends reading; linesFollow when more than line ends
    // come after it.
    virtual void emptyLine(int /*number*/, bool /*linesFollow*/) {}
};

// Appends the events of the file to track. A file that cannot be opened
// prints a message and leaves the track as it was; returns false then.
// readFile (empty: from disk) reads it; listener hears what is found.
bool readSyncTrack(const std::string& path, SyncTrack& track, const FileReader& readFile = {},
                   SyncListener* listener = nullptr);
// The same for file contents held in memory; quiet leaves out the message
// about a skipped line.
void readSyncTrackFromBytes(const char* data, std::size_t size, SyncTrack& track, bool quiet = false,
                            SyncListener* listener = nullptr);

// Where the music starts fading and where the demo ends. A demo sets them
// with events named "fadeout" and "end" (the first of each name counts,
// whatever its target), and the music then fades over the time between.
// Without either: 230 s and 255 s with a 15 s fade, the last 10 s silent.
// With only one, the other lies 15 s away from it.
struct DemoTimes {
    float fadeOut = 230.0f;
    float end = 255.0f;
    float fadeSeconds = 15.0f;
    bool fromSyncFile = false;  // set by "fadeout" or "end"
};

constexpr const char* fadeOutEventName = "fadeout";
constexpr const char* endEventName = "end";
// Times are kept to one day: later ones would lose the frame's precision.
constexpr float longestDemoTime = 86400.0f;

DemoTimes demoTimesOf(const SyncTrack& track);
// The times of the sync file at path, read without a word.
DemoTimes readDemoTimes(const std::string& path);
