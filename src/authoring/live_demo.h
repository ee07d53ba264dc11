#pragma once
// The demo as live authoring plays it: the files, tree and sync delivery of
// the player's Demo, read again whenever they change on disk. A reading
// that fails keeps the last good one playing. It never ends by itself.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "assets/asset_reading.h"
#include "authoring/demo_check.h"
#include "framework/demo_limits.h"
#include "player/demo_interface.h"
#include "player/sync_track.h"

class EffectInstance;
class Music;
class RenderState;

class LiveDemo : public DemoInterface {
public:
    // music is the player's, which the demo loads, plays, seeks and fades.
    // Everything is drawn through renderState. A broken script block never
    // waits for a key: that would hold the playing demo. disk (empty: from
    // disk) reads the demo's files, each reading each file once.
    LiveDemo(Music& music, RenderState& renderState, FileReader disk = {});
    // What it draws with; the tools over the picture draw through it too.
    RenderState& drawsWith() { return renderState; }
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
    // The effects forget their sync events, then receive those a run from
    // 0 on the grid would have by t.
    void catchUpTo(double t, int stepsPerSecond) override;

    // Reads what changed again: changed lists the files (as watchedFiles
    // names them) that did; empty means everything. The tree is rebuilt
    // unless only the music changed; the new tree then receives the sync
    // events due before the time as a run from 0 would have. The music keeps its
    // place (t when reading began; the demo's clock runs on meanwhile).
    // Prints the report of --check, then "reloaded NAMES in N ms" (N counts
    // everything up to that line), or the problem on stderr. A reading is
    // good only when every file it uses is; every reading tries them all.
    void reload(const std::vector<std::string>& changed, float t);
    // Whether the latest reading failed (the one before it plays on).
    bool reloadFailed() const { return failed; }
    // The errors and warnings (not the notes) --check reports of the files
    // as they stood at the latest reading, in its order and words.
    const std::vector<std::string>& checkFindings() const { return findings; }
    int checkErrors() const { return errors; }
    // The demo's files: sync file, script, music and every file the script
    // names, the missing ones included.
    const std::vector<std::string>& watchedFiles() const { return watched; }
    // How often the music has been loaded: init once, then each reading
    // that found it changed (or still broken) and could play it. Whatever
    // summarises the music does so again only when this moves.
    int musicLoads() const { return musicLoadCount; }

    // Moves the music to t, with the fade where it would stand by then, and
    // the effects to where a run from 0 at 60 steps a second has them at t,
    // whichever way the move goes.
    void seek(float from, float to);
    void pause();
    void resume();
    // Fade and end as the sync file now read sets them.
    DemoTimes times() const;
    // The tree and the events now playing: null while nothing could be read.
    EffectInstance* root() const;
    const SyncTrack* syncTrack() const;

private:
    // One reading of the files: script reader, tree, sync track and delivery.
    struct Reading;
    // Reads sync file and script once each, with --check listening;
    // problem says why the reading cannot play. Prints --check's report.
    std::unique_ptr<Reading> read(std::string& problem, DemoCheckReport& checked,
                                  const std::function<void()>& afterSync = {});
    // t: demo time when reading began, at steady time started.
    bool reloadMusic(float t, double started, std::string& problem);
    void adopt(std::unique_ptr<Reading> reading);
    void watchAlso(const std::vector<std::string>& files);
    // Prints --check's report and keeps its findings.
    void reportCheck(const DemoCheckReport& checked);

    Music& music;
    RenderState& renderState;
    // The player's own.
    DemoLimits limits;
    FileReader disk;
    std::unique_ptr<Reading> current;
    std::vector<std::string> watched;
    MusicFacts musicFacts;
    std::vector<std::string> findings;
    int errors = 0;
    int musicLoadCount = 0;
    bool failed = false;
    bool musicFailed = false;
    bool musicFading = false;
    bool paused = false;
};
