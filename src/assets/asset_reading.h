#pragma once
// How the picture and object readers get at their files and whom they tell
// what they found. The player reads from disk and tells nobody; a loading
// demo reads each file once and --check and live authoring listen.
//
// The effects load their pictures and objects inside their init, which
// takes no arguments, so a loading sets its reading in force around that
// init (AssetReadingScope) instead of handing it down.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Reads the whole file at path; false, with the reason in the system's
// words, when it cannot (see readFileBytes).
using FileReader =
    std::function<bool(const std::string& path, std::vector<uint8_t>& bytes, std::string* reason, uint64_t maxBytes)>;

// A picture file as the loaders found it.
struct PictureFacts {
    std::string fileName;
    bool opened = false;
    std::string reason;           // why it could not be opened
    std::string decodedBy;        // the loader that decoded it ("jpg", "tga"); empty when none could
    std::string damage;           // the decoder's first warning: decoded from damaged data
    std::vector<uint8_t> header;  // its first bytes (a TGA header at most)
};

// An object file as its reader found it.
struct ObjectFacts {
    std::string fileName;
    bool imported = false;  // read through the object library (OBJ, glTF, LWO2)
    bool opened = false;
    std::string reason;  // why it could not be opened
    // LightWave LWOB: whether its chunks parsed and how many polygons.
    bool parsed = false;
    int polygons = 0;
    // The library's words when it could not read the file, after
    // "object file 'NAME' ".
    std::string importProblem;
};

class AssetListener {
public:
    virtual ~AssetListener() = default;
    virtual void pictureRead(const PictureFacts& /*facts*/) {}
    virtual void objectRead(const ObjectFacts& /*facts*/) {}
};

struct AssetReading {
    FileReader readFile;  // empty: from disk
    AssetListener* listener = nullptr;
};

// Reads a file through the reading in force.
bool readAssetFile(const std::string& path, std::vector<uint8_t>& bytes, std::string* reason = nullptr,
                   uint64_t maxBytes = UINT64_MAX);
// Who hears the readers now; null for nobody.
AssetListener* assetListener();

// Puts a reading in force for its lifetime, then the previous one back.
class AssetReadingScope {
public:
    explicit AssetReadingScope(AssetReading reading);
    ~AssetReadingScope();
    AssetReadingScope(const AssetReadingScope&) = delete;
    AssetReadingScope& operator=(const AssetReadingScope&) = delete;

private:
    AssetReading previous;
};
