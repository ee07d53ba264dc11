#pragma once
// quarn2 --check: reads a demo the way the player does, with no window, no
// sound and none of the player's console output, and reports each likely
// mistake the way compilers do: "iDemo.dat:12: error: ...". Live authoring
// checks the very reading it plays: the readers tell what they find to the
// listeners here, and nothing is read twice.
#include <memory>
#include <string>
#include <vector>

#include "player/loaded_demo.h"
class EffectInstance;
struct SyncEvent;

struct DemoCheckReport {
    // The script's findings in line order, then the sync file's (a note for
    // every event), then the music's.
    std::vector<std::string> lines;
    int errors = 0;
    int warnings = 0;
};

// Whose outcome a report describes where they differ: a missing picture ends
// play, while --live plays on with the last good reading.
enum class CheckedFor { play, live };

// Where --check says a sync event goes: the instance at its target among
// those active at the event's own time; null when there is none. active:
// room for the list of those, which it holds afterwards.
EffectInstance* syncEventDestination(EffectInstance& root, const SyncEvent& event,
                                     std::vector<EffectInstance*>& active);
// The music file as its last reading found it.
struct MusicFacts {
    bool opened = false;
    bool decodable = false;  // holds MP3 audio the player can decode
};
MusicFacts readMusicFacts(DemoFiles& files);

// Hears one loading of a demo (pass listeners() to loadSync and loadScript).
class DemoCheckListeners {
public:
    DemoCheckListeners();
    ~DemoCheckListeners();
    DemoCheckListeners(const DemoCheckListeners&) = delete;
    DemoCheckListeners& operator=(const DemoCheckListeners&) = delete;

    DemoListeners listeners();
    MusicFacts music;
    // What keeps a file the effects read from playing as meant, in live
    // authoring's words ("cannot decode the picture file a.tga"); empty when
    // nothing does or nobody read it.
    std::string problemWith(const std::string& name) const;

    struct Heard;
    std::unique_ptr<Heard> heard;
};

// Reads iDemo.dat, test.dat, demomusik.mp3 and every file the script names
// from directory, each once. Prints nothing; safe to call again.
// knownMusic, when given, stands for reading the music file.
DemoCheckReport checkDemo(const std::string& directory, CheckedFor mode = CheckedFor::play,
                          const MusicFacts* knownMusic = nullptr, FileReader disk = {});
// The report on what a loading heard. Files the script names that no effect
// read (the loading may not have initialised the effects) are read now,
// quietly, through files.
DemoCheckReport checkLoadedDemo(DemoCheckListeners& heard, const LoadedDemo& demo, DemoFiles& files, CheckedFor mode);
