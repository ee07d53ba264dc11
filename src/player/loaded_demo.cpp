#include "player/loaded_demo.h"

#include <utility>

#include "framework/effect_instance.h"
#include "framework/script_reader.h"
#include "platform/file_bytes.h"
#include "player/effect_types.h"
#include "player/sync_catch_up.h"
#include "player/sync_dispatch.h"

DemoFiles::DemoFiles(FileReader disk, std::string directory) : disk(std::move(disk)), directory(std::move(directory)) {}

std::string DemoFiles::pathOf(const std::string& name) const {
    if (directory.empty() || directory == "." || name.starts_with('/')) return name;
    return directory + (directory.back() == '/' ? "" : "/") + name;
}

bool DemoFiles::read(const std::string& name, std::vector<uint8_t>& bytes, std::string* reason, uint64_t maxBytes) {
    auto found = files.find(name);
    // A file refused for its size may be asked for again with a larger limit.
    const bool refusedForSize = found != files.end() && !found->second.good &&
                                found->second.reason.starts_with("larger than") && maxBytes == UINT64_MAX;
    if (found == files.end() || refusedForSize) {
        Read read;
        const std::string path = pathOf(name);
        read.good = disk ? disk(path, read.bytes, &read.reason, maxBytes)
                         : readFileBytes(path, read.bytes, &read.reason, maxBytes);
        found = files.insert_or_assign(name, std::move(read)).first;
    }
    const Read& read = found->second;
    if (read.good && read.bytes.size() > maxBytes) {
        bytes.clear();
        if (reason) *reason = "larger than " + std::to_string(maxBytes >> 20) + " MiB";
        return false;
    }
    if (!read.good) {
        bytes.clear();
        if (reason) *reason = read.reason;
        return false;
    }
    bytes = read.bytes;
    return true;
}

FileReader DemoFiles::reader() {
    return [this](const std::string& name, std::vector<uint8_t>& bytes, std::string* reason, uint64_t maxBytes) {
        return read(name, bytes, reason, maxBytes);
    };
}

LoadedDemo::LoadedDemo() = default;
LoadedDemo::~LoadedDemo() = default;
LoadedDemo::LoadedDemo(LoadedDemo&&) noexcept = default;
LoadedDemo& LoadedDemo::operator=(LoadedDemo&&) noexcept = default;

std::vector<std::string> LoadedDemo::namedFiles() const {
    return reader ? reader->namedFiles() : std::vector<std::string>{};
}

void LoadedDemo::drawTree(float t, RenderState& renderState, EffectDrawObserver* observer) {
    if (root == nullptr) return;
    dispatchDueSyncEvent(syncTrack, nextSyncEvent, *root, t, activeInstances);
    root->render(t, renderState, observer);
}

void LoadedDemo::catchUpTo(double t, int stepsPerSecond) {
    if (root == nullptr) return;
    catchUpSyncEvents(syncTrack, nextSyncEvent, *root, stepsPerSecond, firstStepFrom(t, stepsPerSecond),
                      activeInstances);
}

bool loadSync(LoadedDemo& demo, DemoFiles& files, SyncListener* listener, const std::string& syncFile) {
    const bool read = readSyncTrack(syncFile, demo.syncTrack, files.reader(), listener);
    demo.times = demoTimesOf(demo.syncTrack);
    return read;
}

EffectInstance* loadScript(LoadedDemo& demo, DemoFiles& files, RenderState* renderState, const ScriptReaderSetup& setup,
                           const DemoListeners& listeners) {
    demo.reader = std::make_unique<ScriptReader>(setup);
    registerEffectTypes(*demo.reader);
    demo.nextSyncEvent = 0;
    // A script creates at most this many instances, so at most this many can
    // be active at once.
    demo.activeInstances.reserve(setup.limits.maxInstances);
    const ScriptReading reading{.readFile = files.reader(), .listener = listeners.script, .assets = listeners.assets};
    try {
        demo.root = renderState != nullptr ? demo.reader->load(demoScriptFile, *renderState, reading)
                                           : demo.reader->loadWithoutInit(demoScriptFile, reading);
    } catch (const MissingPicture& missing) {
        // The script itself was read whole; only its effects stopped short.
        demo.missingPicture = missing;
        demo.root = demo.reader->findInstance(rootNameOfScript(demoScriptFile));
    }
    return demo.root;
}
