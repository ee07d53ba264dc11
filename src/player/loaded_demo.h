#pragma once
// A demo read from its files: the script reader with the tree it built, the
// sync track with the place of the next event, and the demo's times. The
// player and live authoring load it and deliver its events the same way;
// --check reads it without initialising the effects.
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "assets/asset_reading.h"
#include "assets/missing_picture.h"
#include "player/sync_track.h"

class EffectDrawObserver;
class EffectInstance;
class RenderState;
class ScriptListener;
class ScriptReader;
struct ScriptReaderSetup;

// The demo's three files, in the directory it plays from.
constexpr const char* demoScriptFile = "iDemo.dat";
constexpr const char* demoSyncFile = "test.dat";
constexpr const char* demoMusicFile = "demomusik.mp3";

// The files of one loading. Each is read from disk at most once, however
// often it is asked for (two effects may name one picture); the bytes live
// as long as this does. Relative names are taken from directory.
class DemoFiles {
public:
    // disk (empty: readFileBytes) does the reading.
    explicit DemoFiles(FileReader disk = {}, std::string directory = {});
    DemoFiles(const DemoFiles&) = delete;
    DemoFiles& operator=(const DemoFiles&) = delete;

    bool read(const std::string& name, std::vector<uint8_t>& bytes, std::string* reason = nullptr,
              uint64_t maxBytes = UINT64_MAX);
    // A reader that reads through this object, which must outlive it.
    FileReader reader();
    // name as the disk sees it.
    std::string pathOf(const std::string& name) const;

private:
    struct Read {
        bool good = false;
        std::vector<uint8_t> bytes;
        std::string reason;
    };
    FileReader disk;
    std::string directory;
    std::map<std::string, Read> files;
};

// Who hears the readers while a demo loads; null members hear nothing.
struct DemoListeners {
    ScriptListener* script = nullptr;
    SyncListener* sync = nullptr;
    AssetListener* assets = nullptr;
};

struct LoadedDemo {
    LoadedDemo();
    ~LoadedDemo();
    LoadedDemo(LoadedDemo&&) noexcept;
    LoadedDemo& operator=(LoadedDemo&&) noexcept;

    std::unique_ptr<ScriptReader> reader;
    EffectInstance* root = nullptr;
    // Set when an effect's picture could not be opened: the effects after
    // it are not initialised, and the player cannot play.
    std::optional<MissingPicture> missingPicture;
    SyncTrack syncTrack;
    DemoTimes times;
    uint32_t nextSyncEvent = 0;
    // Room for every instance, so that delivering an event does not
    // allocate inside a frame.
    std::vector<EffectInstance*> activeInstances;

    // The files the effects read, as the script names them.
    std::vector<std::string> namedFiles() const;
    // Delivers at most one due sync event, then draws the tree; nothing
    // without a root.
    void drawTree(float t, RenderState& renderState, EffectDrawObserver* observer = nullptr);
    // The sync events a run from 0 on a grid of stepsPerSecond steps would
    // have delivered by t.
    void catchUpTo(double t, int stepsPerSecond);
};

// Reads the sync file into the track and sets the times from it. False
// (with the player's message) when it cannot be opened.
bool loadSync(LoadedDemo& demo, DemoFiles& files, SyncListener* listener = nullptr,
              const std::string& syncFile = demoSyncFile);
// Reads the script with every effect type registered by a reader set up
// with setup and, given renderState, initialises the effects, which load
// their pictures and objects through files and upload through renderState.
// Returns the root, or null.
EffectInstance* loadScript(LoadedDemo& demo, DemoFiles& files, RenderState* renderState, const ScriptReaderSetup& setup,
                           const DemoListeners& listeners = {});
