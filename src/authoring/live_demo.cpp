#include "authoring/live_demo.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "authoring/demo_check.h"
#include "framework/effect_instance.h"
#include "framework/script_reader.h"
#include "platform/file_bytes.h"
#include "platform/mp3_stream.h"
#include "platform/report.h"
#include "player/demo.h"
#include "player/demo_seek.h"
#include "player/loaded_demo.h"
#include "player/music.h"
#include "player/sync_catch_up.h"

namespace {

const std::string syncFile = demoSyncFile;
const std::string scriptFile = demoScriptFile;
const std::string musicFile = demoMusicFile;

bool contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
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
    LoadedDemo demo;
    std::vector<std::string> files;  // named by the script
};

LiveDemo::LiveDemo(Music& music, RenderState& renderState, FileReader disk)
    : music(music), renderState(renderState), disk(std::move(disk)) {}

LiveDemo::~LiveDemo() = default;

std::unique_ptr<LiveDemo::Reading> LiveDemo::read(std::string& problem, DemoCheckReport& checked,
                                                  const std::function<void()>& afterSync) {
    auto reading = std::make_unique<Reading>();
    DemoFiles files(disk);
    DemoCheckListeners heard;
    LoadedDemo& demo = reading->demo;
    if (!loadSync(demo, files, heard.listeners().sync)) problem = "cannot open " + syncFile;
    if (afterSync) afterSync();
    heard.music = musicFacts;
    loadScript(demo, files, &renderState, ScriptReaderSetup{.limits = limits, .waitForKey = nullptr},
               heard.listeners());
    reading->files = demo.namedFiles();
    // What --check says of the files as they now are, good edit or not. It
    // reads, through the same files, any the effects did not.
    checked = checkLoadedDemo(heard, demo, files, CheckedFor::live);
    if (!problem.empty()) return reading;
    if (demo.missingPicture) {
        problem = "cannot open picture file " + demo.missingPicture->fileName + ": " + demo.missingPicture->reason;
    } else if (demo.root == nullptr) {
        std::error_code error;
        const std::filesystem::file_status status = std::filesystem::status(scriptFile, error);
        problem = std::filesystem::is_directory(status) ? scriptFile + " is a folder, not a script"
                  : std::filesystem::exists(status)     ? scriptFile + " has no instance named iDemo"
                                                        : "cannot open " + scriptFile;
    } else {
        for (const std::string& name : reading->files) {
            problem = heard.problemWith(name);
            if (!problem.empty()) break;
        }
    }
    return reading;
}

void LiveDemo::init() {
    std::string problem;
    DemoCheckReport checked;
    QUARN_REPORT(Output, "loading sync\n");
    auto reading = read(problem, checked, [this] {
        QUARN_REPORT(Output, "loading music\n");
        DemoFiles files(disk);
        musicFacts = readMusicFacts(files);
        music.load(musicFile);
        ++musicLoadCount;
        QUARN_REPORT(Output, "loading demo script\n");
    });
    music.play();
    musicFading = false;
    watched = {syncFile, scriptFile, musicFile};
    watchAlso(reading->files);
    // Nothing good came before: what could be read plays.
    current = std::move(reading);
    failed = !problem.empty();
    reportCheck(checked);
    if (failed) QUARN_REPORTF(Error, "reload failed: %s\n", problem.c_str());
}

DemoTimes LiveDemo::times() const { return current ? current->demo.times : DemoTimes{}; }

EffectInstance* LiveDemo::root() const { return current ? current->demo.root : nullptr; }

const SyncTrack* LiveDemo::syncTrack() const { return current ? &current->demo.syncTrack : nullptr; }

void LiveDemo::drawFrame(float t) {
    clearFrameToBlack(renderState);
    const DemoTimes timing = times();
    if (!musicFading && t > timing.fadeOut) {
        music.fadeOut(timing.fadeSeconds);
        musicFading = true;
    }
    if (current) current->demo.drawTree(t, renderState);
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
        DemoCheckReport checked;
        auto reading = read(problem, checked);
        reportCheck(checked);
        if (problem.empty()) {
            adopt(std::move(reading));
            catchUpTo(t, playStepsPerSecond);
        } else {
            // Watched too, so that the file the problem is about counts
            // once it is mended.
            watchAlso(reading->files);
        }
    } else {
        // Nothing of the tree is read again; what --check says of the files
        // as they now are is read without initialising the effects.
        reportCheck(checkDemo(".", CheckedFor::live, &musicFacts, disk));
    }
    failed = !problem.empty();
#ifdef __GLIBC__
    // While reading, the old tree and the new one were both held; the
    // allocator would keep that peak resident for the rest of the session.
    malloc_trim(0);
#endif
    // Last, so that the time covers everything the picture waited for.
    if (failed) {
        QUARN_REPORTF(Error, "reload failed: %s\n", problem.c_str());
    } else {
        const auto milliseconds = static_cast<long>((steadyNow() - started) * 1000.0 + 0.5);
        QUARN_REPORTF(Output, "reloaded %s in %ld ms\n", everything ? scriptFile.c_str() : joined(changed).c_str(),
                      milliseconds);
    }
}

void LiveDemo::reportCheck(const DemoCheckReport& checked) {
    findings.clear();
    std::string text;
    for (const std::string& line : checked.lines) {
        text += line;
        text += '\n';
        if (line.find(": error: ") != std::string::npos || line.find(": warning: ") != std::string::npos)
            findings.push_back(line);
    }
    errors = checked.errors;
    // One report: a note for each of many sync events would otherwise cost
    // a system call apiece.
    QUARN_REPORT(Output, text);
    std::fflush(stdout);
}

bool LiveDemo::reloadMusic(float t, double started, std::string& problem) {
    DemoFiles files(disk);
    std::vector<uint8_t> bytes;
    const bool opened = files.read(musicFile, bytes);
    if (!opened || scanMp3FrameCount(bytes.data(), bytes.size()) == 0) {
        musicFacts = readMusicFacts(files);
        problem = "cannot play " + musicFile;
        return false;
    }
    musicFacts = MusicFacts{.opened = true, .decodable = true};
    music.release();
    music.load(musicFile);
    ++musicLoadCount;
    QUARN_REPORT(Output, "\n");
    music.play();
    // The demo's clock ran on while the music was read.
    if (!paused) t += static_cast<float>(steadyNow() - started);
    seekMusic(music, times(), t);
    if (paused) music.pause();
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
    musicFading = seekMusic(music, times(), to);
    catchUpTo(to, playStepsPerSecond);
}

void LiveDemo::catchUpTo(double t, int stepsPerSecond) {
    if (current) seekEffects(current->demo, t, stepsPerSecond);
}

void LiveDemo::pause() {
    paused = true;
    music.pause();
}

void LiveDemo::resume() {
    paused = false;
    music.resume();
}
