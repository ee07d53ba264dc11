// A whole demo folder from one input: the script, the sync file and the
// pictures and objects the script names, loaded the way the player loads
// them and drawn for a few frames with a render state that does nothing.
// The folder is packed as entries, each a header line "== NAME SIZE\n"
// followed by SIZE bytes (a SIZE past the end takes the rest); bytes before
// the first header are ignored. Entries are unpacked into a scratch
// directory in memory (/dev/shm where there is one) that is the working
// directory of the whole run.
#include <dirent.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "assets/missing_picture.h"
#include "framework/effect_instance.h"
#include "framework/script_reader.h"
#include "player/effect_types.h"
#include "player/sync_dispatch.h"
#include "player/sync_track.h"
#include "support/null_render_state.h"

namespace {

constexpr size_t maxEntries = 32;

struct Entry {
    std::string name;
    std::string_view bytes;
};

// Plain names only: nothing may be written outside the scratch directory.
bool isPlainName(std::string_view name) {
    return !name.empty() && name.size() <= 64 && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

std::vector<Entry> unpack(std::string_view input) {
    std::vector<Entry> entries;
    size_t at = input.find("== ");
    while (at != std::string_view::npos && entries.size() < maxEntries) {
        const size_t lineEnd = input.find('\n', at);
        if (lineEnd == std::string_view::npos) break;
        const std::string_view header = input.substr(at + 3, lineEnd - at - 3);
        const size_t space = header.rfind(' ');
        size_t size = 0;
        if (space != std::string_view::npos)
            for (char digit : header.substr(space + 1))
                size = digit >= '0' && digit <= '9' && size < input.size() ? size * 10 + size_t(digit - '0') : size;
        const std::string_view name = header.substr(0, space == std::string_view::npos ? header.size() : space);
        const std::string_view bytes = input.substr(lineEnd + 1, size);
        if (isPlainName(name)) entries.push_back(Entry{std::string(name), bytes});
        const size_t next = lineEnd + 1 + bytes.size();
        at = next < input.size() && input.substr(next, 3) == "== " ? next : input.find("== ", next);
    }
    return entries;
}

void emptyWorkingDirectory() {
    DIR* directory = opendir(".");
    if (directory == nullptr) std::abort();
    std::vector<std::string> names;
    while (dirent* entry = readdir(directory)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    closedir(directory);
    for (const std::string& name : names) std::remove(name.c_str());
}

char scratch[] = "/dev/shm/quarn-fuzz-demo-XXXXXX";
char fallbackScratch[] = "/tmp/quarn-fuzz-demo-XXXXXX";
char* scratchPath = scratch;

NullRenderState renderState;

// A few bytes can ask for a million particles, a 1024 x 1024 grid or an
// 8192 x 8192 JPEG: seconds each under the sanitizers. Smaller caps take the
// same paths; the player keeps its own limits.
ScriptReaderSetup fuzzedReading() {
    ScriptReaderSetup setup;
    setup.waitForKey = nullptr;
    setup.limits.maxJpegPixels = 1 << 16;
    setup.limits.maxParticles = 256;
    setup.limits.maxGridResolution = 48;
    return setup;
}

void removeScratch() {
    emptyWorkingDirectory();
    rmdir(scratchPath);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (mkdtemp(scratch) == nullptr) scratchPath = mkdtemp(fallbackScratch);
    if (scratchPath == nullptr || chdir(scratchPath) != 0) std::abort();
    std::atexit(removeScratch);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    emptyWorkingDirectory();
    for (const Entry& entry : unpack(std::string_view(reinterpret_cast<const char*>(data), size))) {
        FILE* file = std::fopen(entry.name.c_str(), "wb");
        if (file == nullptr) continue;
        std::fwrite(entry.bytes.data(), 1, entry.bytes.size(), file);
        std::fclose(file);
    }

    SyncTrack track;
    readSyncTrack("test.dat", track);
    ScriptReader reader(fuzzedReading());
    registerEffectTypes(reader);
    try {
        EffectInstance* root = reader.load("iDemo.dat", renderState);
        if (root == nullptr) return 0;
        uint32_t nextEvent = 0;
        std::vector<EffectInstance*> active;
        for (float t : {0.0f, 0.5f, 1.0f, 2.0f, 10.0f, 60.0f}) {
            dispatchDueSyncEvent(track, nextEvent, *root, t, active);
            root->render(t, renderState);
        }
    } catch (const MissingPicture&) {
        // The player's way to end the start-up: nothing more is drawn.
    }
    return 0;
}
