#include "runtime/live_demo.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "assets/image_loader.h"
#include "assets/lwo_reader.h"
#include "assets/missing_picture.h"
#include "assets/object_import.h"
#include "framework/effect_instance.h"
#include "framework/script_reader.h"
#include "platform/file_bytes.h"
#include "platform/mp3_stream.h"
#include "platform/render_state.h"
#include "runtime/demo.h"
#include "runtime/demo_check.h"
#include "runtime/effect_types.h"
#include "runtime/music.h"
#include "runtime/sync_dispatch.h"
#include "runtime/sync_track.h"

namespace {

const std::string syncFile = "test.dat";
const std::string scriptFile = "iDemo.dat";
const std::string musicFile = "demomusik.mp3";
constexpr std::size_t maxScriptInstances = 512;

bool contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool isObjectFile(const std::string& name) {
    std::string extension = std::filesystem::path(name).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    return extension == ".lwo";
}

// A picture or object the effects were given, tried once more on its own:
// the effects draw a stand-in for a damaged one, which must not pass as a
// good edit.
std::string problemWith(const std::string& name) {
    std::vector<uint8_t> bytes;
    if (!readFileBytes(name.c_str(), bytes)) return "cannot open " + name;
    if (isImportedObjectFile(name)) {
        ImportedObject object;
        std::string reason;
        return importObjectFile(name, object, reason) ? "" : "cannot read the object file " + name;
    }
    if (isObjectFile(name)) {
        LwoObject object;
        return object.parse(bytes.data(), bytes.size()) ? "" : "cannot read the object file " + name;
    }
    try {
        return ImageLoaderRegistry().loadImage(name) ? "" : "cannot decode the picture file " + name;
    } catch (const MissingPicture&) {
        return "cannot open " + name;
    }
}

std::string joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
    return text;
}

double steadyNow() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

struct LiveDemo::Reading {
    std::unique_ptr<ScriptReader> reader;
    EffectInstance* root = nullptr;
    SyncTrack syncTrack;
    uint32_t nextSyncEvent = 0;
    std::vector<EffectInstance*> activeInstances;
    std::vector<std::string> files;  // named by the script

    bool readSync(std::string& problem) {
        if (readSyncTrack(syncFile, syncTrack)) return true;
        problem = "cannot open " + syncFile;
        return false;
    }

    // Tried once more: the named files in changed and those not in known;
    // with changed null, every one.
    bool readScript(const std::vector<std::string>* changed, const std::vector<std::string>& known,
                    std::string& problem) {
        reader = std::make_unique<ScriptReader>();
        registerEffectTypes(*reader);
        try {
            root = reader->load(scriptFile);
        } catch (const MissingPicture& missing) {
            // What the reader built so far is dropped with it; the missing
            // file is watched, so that providing it counts as an edit.
            reader.reset();
            root = nullptr;
            files = {missing.fileName};
            problem = "cannot open picture file " + missing.fileName;
            return false;
        }
        files = reader->namedFiles();
        // Room for every instance, so that delivering does not allocate.
        activeInstances.reserve(maxScriptInstances);
        if (root == nullptr) {
            problem = std::filesystem::exists(scriptFile) ? scriptFile + " has no instance named iDemo"
                                                          : "cannot open " + scriptFile;
            return false;
        }
        for (const std::string& name : files) {
            if (changed != nullptr && !contains(*changed, name) && contains(known, name)) continue;
            problem = problemWith(name);
            if (!problem.empty()) return false;
        }
        return true;
    }
};

LiveDemo::LiveDemo() = default;

LiveDemo::~LiveDemo() = default;

void LiveDemo::init() {
    auto reading = std::make_unique<Reading>();
    std::string problem;
    std::printf("loading sync\n");
    reading->readSync(problem);
    std::printf("loading music\n");
    Music::load(musicFile);
    std::printf("loading demo script\n");
    if (problem.empty()) {
        reading->readScript(nullptr, {}, problem);
    } else {
        std::string ignored;
        reading->readScript(nullptr, {}, ignored);
    }
    Music::play();
    musicFading = false;
    watched = {syncFile, scriptFile, musicFile};
    watchAlso(reading->files);
    // Nothing good came before: what could be read plays.
    current = std::move(reading);
    failed = !problem.empty();
    if (failed) std::fprintf(stderr, "reload failed: %s\n", problem.c_str());
}

DemoTimes LiveDemo::times() const { return current ? demoTimesOf(current->syncTrack) : DemoTimes{}; }

void LiveDemo::drawFrame(float t) {
    clearFrameToBlack();
    const DemoTimes timing = times();
    if (!musicFading && t > timing.fadeOut) {
        Music::fadeOut(timing.fadeSeconds);
        musicFading = true;
    }
    if (!current || current->root == nullptr) return;
    dispatchDueSyncEvent(current->syncTrack, current->nextSyncEvent, *current->root, t, current->activeInstances);
    current->root->render(t);
}

void LiveDemo::reload(const std::vector<std::string>& changed, float t) {
    const double started = steadyNow();
    const bool everything = changed.empty();
    const bool musicChanged = contains(changed, musicFile);
    const bool treeChanged = everything || std::any_of(changed.begin(), changed.end(),
                                                       [](const std::string& name) { return name != musicFile; });
    std::string problem;
    if (musicChanged) reloadMusic(t, started, problem);
    if (problem.empty() && treeChanged) {
        auto reading = std::make_unique<Reading>();
        if (reading->readSync(problem) && reading->readScript(everything ? nullptr : &changed, watched, problem)) {
            adopt(std::move(reading));
        } else {
            // Watched too, so that the file the problem is about counts
            // once it is mended.
            watchAlso(reading->files);
        }
    }
    failed = !problem.empty();
    if (failed) {
        std::fprintf(stderr, "reload failed: %s\n", problem.c_str());
    } else {
        const auto milliseconds = static_cast<long>((steadyNow() - started) * 1000.0 + 0.5);
        std::printf("reloaded %s in %ld ms\n", everything ? scriptFile.c_str() : joined(changed).c_str(), milliseconds);
    }
    // What --check says of the files as they now are, good edit or not.
    for (const std::string& line : checkDemo(".").lines) std::printf("%s\n", line.c_str());
}

bool LiveDemo::reloadMusic(float t, double started, std::string& problem) {
    std::vector<uint8_t> bytes;
    if (!readFileBytes(musicFile.c_str(), bytes) || scanMp3FrameCount(bytes.data(), bytes.size()) == 0) {
        problem = "cannot play " + musicFile;
        return false;
    }
    Music::release();
    Music::load(musicFile);
    std::printf("\n");
    Music::play();
    // The demo's clock ran on while the music was read.
    if (!paused) t += static_cast<float>(steadyNow() - started);
    const DemoTimes timing = times();
    Music::seek(t, t > timing.fadeOut ? t - timing.fadeOut : -1.0, timing.fadeSeconds);
    if (paused) Music::pause();
    return true;
}

void LiveDemo::adopt(std::unique_ptr<Reading> reading) {
    watched = {syncFile, scriptFile, musicFile};
    watchAlso(reading->files);
    current = std::move(reading);
}

void LiveDemo::watchAlso(const std::vector<std::string>& files) {
    for (const std::string& name : files) {
        if (!contains(watched, name)) watched.push_back(name);
    }
}

void LiveDemo::seek(float from, float to) {
    const DemoTimes timing = times();
    musicFading = to > timing.fadeOut;
    Music::seek(to, musicFading ? to - timing.fadeOut : -1.0, timing.fadeSeconds);
    if (to >= from || failed || !current) return;
    // Effects keep what past sync events did to them: going back past one
    // delivered, they start afresh, and the events up to the new time
    // arrive again.
    const SyncTrack& track = current->syncTrack;
    const auto delivered = track.begin() + std::min<std::size_t>(current->nextSyncEvent, track.size());
    if (std::none_of(track.begin(), delivered, [to](const SyncEvent& event) { return event.time > to; })) return;
    const std::vector<std::string> nothingChanged;
    auto reading = std::make_unique<Reading>();
    std::string problem;
    if (reading->readSync(problem) && reading->readScript(&nothingChanged, watched, problem)) adopt(std::move(reading));
}

void LiveDemo::pause() {
    paused = true;
    Music::pause();
}

void LiveDemo::resume() {
    paused = false;
    Music::resume();
}
