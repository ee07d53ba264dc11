#include "authoring/live_demo.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "assets/image_loader.h"
#include "assets/jpeg_reader.h"
#include "assets/lwo_reader.h"
#include "assets/missing_picture.h"
#include "assets/object_import.h"
#include "assets/tga_reader.h"
#include "authoring/demo_check.h"
#include "framework/effect_instance.h"
#include "framework/script_reader.h"
#include "platform/file_bytes.h"
#include "platform/mp3_stream.h"
#include "platform/render_state.h"
#include "platform/report.h"
#include "player/demo.h"
#include "player/effect_types.h"
#include "player/music.h"
#include "player/sync_catch_up.h"
#include "player/sync_dispatch.h"
#include "player/sync_track.h"

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
// good edit. So does a JPEG that decodes only with a warning (cut short, it
// is filled in grey), which play draws as it comes.
std::string problemWith(const std::string& name) {
    std::vector<uint8_t> bytes;
    std::string reason;
    if (isImportedObjectFile(name)) {
        if (!readFileBytes(name, bytes, &reason)) return "cannot open " + name + ": " + reason;
        ImportedObject object;
        return importObjectFile(name, object, reason) ? "" : "cannot read the object file " + name;
    }
    if (isObjectFile(name)) {
        if (!readFileBytes(name, bytes, &reason)) return "cannot open " + name + ": " + reason;
        LwoObject object;
        return object.parse(bytes.data(), bytes.size()) ? "" : "cannot read the object file " + name;
    }
    if (!readPictureFile(name, bytes, reason)) return "cannot open picture file " + name + ": " + reason;
    // Tried in the player's order, so that a TGA is not reported by libjpeg.
    const auto decodesAsJpeg = [&](std::string& problem) {
        JpegPicture picture;
        if (!readJpegFromMemory(bytes.data(), bytes.size(), picture)) return false;
        if (!picture.warning.empty()) problem = "the picture file " + name + " is damaged: " + picture.warning;
        return true;
    };
    const auto decodesAsTga = [&] { return parseTga(bytes.data(), bytes.size(), name.c_str()) != nullptr; };
    std::string problem;
    const bool decoded = fileExtension(name) == "tga" ? decodesAsTga() || decodesAsJpeg(problem)
                                                      : decodesAsJpeg(problem) || decodesAsTga();
    return decoded ? problem : "cannot decode the picture file " + name;
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
    std::vector<std::string> files;        // named by the script
    std::vector<std::string> checkedGood;  // of those, the ones tried now and found good
    std::string damagedFile;               // the one whose problem stopped the reading

    bool readSync(std::string& problem) {
        if (readSyncTrack(syncFile, syncTrack)) return true;
        problem = "cannot open " + syncFile;
        return false;
    }

    // Every named file is tried once more unless knownGood lists it (found
    // good before and unchanged since).
    bool readScript(const std::vector<std::string>& knownGood, std::string& problem) {
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
            damagedFile = missing.fileName;
            problem = "cannot open picture file " + missing.fileName + ": " + missing.reason;
            return false;
        }
        files = reader->namedFiles();
        // Room for every instance, so that delivering does not allocate.
        activeInstances.reserve(maxScriptInstances);
        if (root == nullptr) {
            std::error_code error;
            const std::filesystem::file_status status = std::filesystem::status(scriptFile, error);
            problem = std::filesystem::is_directory(status) ? scriptFile + " is a folder, not a script"
                      : std::filesystem::exists(status)     ? scriptFile + " has no instance named iDemo"
                                                            : "cannot open " + scriptFile;
            return false;
        }
        for (const std::string& name : files) {
            if (contains(knownGood, name)) continue;
            problem = problemWith(name);
            if (!problem.empty()) {
                damagedFile = name;
                return false;
            }
            checkedGood.push_back(name);
        }
        return true;
    }
};

LiveDemo::LiveDemo() = default;

LiveDemo::~LiveDemo() = default;

void LiveDemo::init() {
    auto reading = std::make_unique<Reading>();
    std::string problem;
    QUARN_REPORT(Output, "loading sync\n");
    reading->readSync(problem);
    QUARN_REPORT(Output, "loading music\n");
    Music::load(musicFile);
    QUARN_REPORT(Output, "loading demo script\n");
    if (problem.empty()) {
        reading->readScript({}, problem);
    } else {
        std::string ignored;
        reading->readScript({}, ignored);
    }
    Music::play();
    musicFading = false;
    watched = {syncFile, scriptFile, musicFile};
    watchAlso(reading->files);
    noteChecks(*reading);
    // Nothing good came before: what could be read plays.
    current = std::move(reading);
    failed = !problem.empty();
    reportCheck();
    if (failed) QUARN_REPORTF(Error, "reload failed: %s\n", problem.c_str());
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
    // Music that could not be played is tried again with every reading, so
    // that no reading passes as good while it is still broken.
    const bool musicChanged = contains(changed, musicFile) || musicFailed;
    const bool treeChanged = everything || std::any_of(changed.begin(), changed.end(),
                                                       [](const std::string& name) { return name != musicFile; });
    std::string problem;
    if (musicChanged) musicFailed = !reloadMusic(t, started, problem);
    if (problem.empty() && treeChanged) {
        // A changed file is good again only once it has been tried.
        if (everything) goodFiles.clear();
        std::erase_if(goodFiles, [&changed](const std::string& name) { return contains(changed, name); });
        auto reading = std::make_unique<Reading>();
        const bool good = reading->readSync(problem) && reading->readScript(goodFiles, problem);
        noteChecks(*reading);
        if (good) {
            adopt(std::move(reading));
            catchUpTo(t, playStepsPerSecond);
        } else {
            // Watched too, so that the file the problem is about counts
            // once it is mended.
            watchAlso(reading->files);
        }
    }
    failed = !problem.empty();
    // What --check says of the files as they now are, good edit or not.
    reportCheck();
    // Last, so that the time covers everything the picture waited for.
    if (failed) {
        QUARN_REPORTF(Error, "reload failed: %s\n", problem.c_str());
    } else {
        const auto milliseconds = static_cast<long>((steadyNow() - started) * 1000.0 + 0.5);
        QUARN_REPORTF(Output, "reloaded %s in %ld ms\n", everything ? scriptFile.c_str() : joined(changed).c_str(),
                      milliseconds);
    }
#ifdef __GLIBC__
    // While reading, the old tree and the new one were both held; the
    // allocator would keep that peak resident for the rest of the session.
    malloc_trim(0);
#endif
}

void LiveDemo::reportCheck() {
    const DemoCheckReport checked = checkDemo(".", CheckedFor::live);
    findings.clear();
    std::string text;
    for (const std::string& line : checked.lines) {
        text += line;
        text += '\n';
        if (line.find(": error: ") != std::string::npos || line.find(": warning: ") != std::string::npos)
            findings.push_back(line);
    }
    errors = checked.errors;
    // One write: a note for each of many sync events would otherwise cost a
    // system call apiece.
    QUARN_REPORT(Output, text);
    std::fflush(stdout);
}

void LiveDemo::noteChecks(const Reading& reading) {
    for (const std::string& name : reading.checkedGood) {
        if (!contains(goodFiles, name)) goodFiles.push_back(name);
    }
    std::erase(goodFiles, reading.damagedFile);
}

bool LiveDemo::reloadMusic(float t, double started, std::string& problem) {
    std::vector<uint8_t> bytes;
    if (!readFileBytes(musicFile.c_str(), bytes) || scanMp3FrameCount(bytes.data(), bytes.size()) == 0) {
        problem = "cannot play " + musicFile;
        return false;
    }
    Music::release();
    Music::load(musicFile);
    QUARN_REPORT(Output, "\n");
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

void LiveDemo::seek(float /*from*/, float to) {
    const DemoTimes timing = times();
    musicFading = to > timing.fadeOut;
    Music::seek(to, musicFading ? to - timing.fadeOut : -1.0, timing.fadeSeconds);
    // Frames played live fall between the steps; after a seek either way
    // the picture is the one a run from 0 shows at to.
    catchUpTo(to, playStepsPerSecond);
}

void LiveDemo::catchUpTo(double t, int stepsPerSecond) {
    if (!current || current->root == nullptr) return;
    clearSyncStateOfTree(*current->root);
    catchUpSyncEvents(current->syncTrack, current->nextSyncEvent, *current->root, stepsPerSecond,
                      firstStepFrom(t, stepsPerSecond), current->activeInstances);
}

void LiveDemo::pause() {
    paused = true;
    Music::pause();
}

void LiveDemo::resume() {
    paused = false;
    Music::resume();
}
