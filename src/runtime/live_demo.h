#pragma once
// The demo as live authoring plays it: the files, tree and sync delivery of
// the player's Demo, read again whenever they change on disk. A reading
// that fails keeps the last good one playing. It never ends by itself.
#include <memory>
#include <string>
#include <vector>

#include "runtime/demo_interface.h"
#include "runtime/sync_track.h"

class LiveDemo : public DemoInterface {
public:
    LiveDemo();
    ~LiveDemo() override;
    LiveDemo(const LiveDemo&) = delete;
    LiveDemo& operator=(const LiveDemo&) = delete;

    // Reads sync file, music and script with the player's messages and
    // starts the music. A problem is reported as by reload; what could be
    // read plays.
    void init() override;
    // Clears, starts the fade after its time, delivers at most one due sync
    // event and draws the tree, as the player's Demo does.
    void drawFrame(float t) override;

    // Reads what changed again: changed lists the files (as watchedFiles
    // names them) that did; empty means everything. The tree is rebuilt
    // unless only the music changed; sync events are then delivered anew
    // from the first, one a frame, up to the time. The music keeps its
    // place (t when reading began; the demo's clock runs on meanwhile).
    // Prints "reloaded NAMES in N ms", or the problem on stderr, then the
    // report of --check.
    void reload(const std::vector<std::string>& changed, float t);
    // Whether the latest reading failed (the one before it plays on).
    bool reloadFailed() const { return failed; }
    // The demo's files: sync file, script, music and every file the script
    // names, the missing ones included.
    const std::vector<std::string>& watchedFiles() const { return watched; }

    // Moves the music to t, with the fade where it would stand by then. A
    // move back rebuilds the tree quietly, so sync events are delivered
    // again from the first.
    void seek(float from, float to);
    void pause();
    void resume();
    // Fade and end as the sync file now read sets them.
    DemoTimes times() const;

private:
    // One reading of the files: script reader, tree, sync track and delivery.
    struct Reading;
    // t: demo time when reading began, at steady time started.
    bool reloadMusic(float t, double started, std::string& problem);
    void adopt(std::unique_ptr<Reading> reading);
    void watchAlso(const std::vector<std::string>& files);

    std::unique_ptr<Reading> current;
    std::vector<std::string> watched;
    bool failed = false;
    bool musicFading = false;
    bool paused = false;
};
