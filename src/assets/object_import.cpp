#include "assets/object_import.h"

#include <assimp/BaseImporter.h>
#include <assimp/DefaultIOSystem.h>
#include <assimp/MemoryIOWrapper.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <assimp/Importer.hpp>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <exception>
#include <fstream>
#include <limits>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <utility>

#include "assets/asset_reading.h"

namespace {

// Triangles over points shared where position, normal and texture
// coordinate agree, every node's placement applied. Flipped texture
// coordinates put v = 0 at a picture's top row, the row our textures
// upload first. Validation turns indices past a mesh's points into a
// failed reading rather than stray memory reads.
constexpr unsigned postProcessing = aiProcess_Triangulate | aiProcess_JoinIdenticalVertices |
                                    aiProcess_PreTransformVertices | aiProcess_SortByPType | aiProcess_FlipUVs |
                                    aiProcess_ValidateDataStructure;

// The Mesh the caller builds counts in int.
constexpr std::size_t maxPoints = std::numeric_limits<int32_t>::max() / 4;

// Only the readers of the player's formats stay, on the desktop as in the
// browser build: a file of another kind under one of these names is refused
// instead of going to one of the library's many other readers.
void keepOnlyOurReaders(Assimp::Importer& importer) {
    for (std::size_t i = importer.GetImporterCount(); i-- > 0;) {
        const aiImporterDesc* description = importer.GetImporterInfo(i);
        std::istringstream extensions(description && description->mFileExtensions ? description->mFileExtensions : "");
        bool ours = false;
        for (std::string extension; extensions >> extension;)
            ours = ours || extension == "obj" || extension == "gltf" || extension == "glb" || extension == "lwo";
        if (ours) continue;
        Assimp::BaseImporter* reader = importer.GetImporter(i);
        // The importer gives the reader back without deleting it.
        if (reader != nullptr && importer.UnregisterLoader(reader) == aiReturn_SUCCESS) delete reader;
    }
}

bool endsWith(const std::string& name, const char* extension) {
    const std::size_t length = std::strlen(extension);
    if (name.size() < length) return false;
    for (std::size_t i = 0; i < length; ++i)
        if (std::tolower(static_cast<unsigned char>(name[name.size() - length + i])) != extension[i]) return false;
    return true;
}

// A stream that tells its file system when it is gone: the library deletes
// some streams itself instead of closing them through the file system.
class CountedStream : public Assimp::IOStream {
public:
    CountedStream(Assimp::IOStream* stream, int& openCount) : stream(stream), openCount(openCount) { ++openCount; }
    ~CountedStream() override { --openCount; }
    size_t Read(void* buffer, size_t size, size_t count) override { return stream->Read(buffer, size, count); }
    size_t Write(const void* buffer, size_t size, size_t count) override { return stream->Write(buffer, size, count); }
    aiReturn Seek(size_t offset, aiOrigin origin) override { return stream->Seek(offset, origin); }
    size_t Tell() const override { return stream->Tell(); }
    size_t FileSize() const override { return stream->FileSize(); }
    void Flush() override { stream->Flush(); }

private:
    std::unique_ptr<Assimp::IOStream> stream;
    int& openCount;
};

bool isBlankOrLineEnd(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

// When a file cannot be opened, Assimp 5.2.5 tidies its name and tries
// again. The tidying walks past the end of a name that ends in "://", that
// is two backslashes, or that is blanks alone, and then erases a negative
// length: such a name in a file (an OBJ's `mtllib a://`, a glTF buffer's
// "uri": " ") crashed the player and --check. A name beginning with a blank
// counts as one of them: the tidying drops its first word with the blanks,
// and what is left may be of the other kinds. Such a name, when it does not
// open, fails the reading before the library tidies it.
bool libraryCannotLookFor(const std::string& name) {
    const auto endsWith = [&name](const char* tail) {
        const std::size_t length = std::strlen(tail);
        return name.size() >= length && name.compare(name.size() - length, length, tail) == 0;
    };
    return (!name.empty() && isBlankOrLineEnd(name.front())) || endsWith("://") || name == "\\\\";
}

std::string printableName(const std::string& name) {
    constexpr std::size_t shown = 60;
    std::string text;
    for (const char c : name.substr(0, shown)) text += std::isprint(static_cast<unsigned char>(c)) ? c : '?';
    return name.size() > shown ? text + "..." : text;
}

// The files the library may open while reading one object: the object
// itself (from disk, or from memory under the name the reading gives it),
// once at a time, and the buffers a .gltf on disk names. The OBJ reader
// would also open the material library the file names (even the object
// itself), or one named after the file, and Assimp 5.2.5 crashes on a
// library that gives a texture before its first material; the player takes
// no materials from the file anyway.
class ObjectFiles : public Assimp::IOSystem {
public:
    ObjectFiles(std::string objectName, const uint8_t* data, std::size_t size)
        : objectName(std::move(objectName)), data(data), size(size) {}

    bool Exists(const char* name) const override { return mayOpen(name) && (data != nullptr || disk.Exists(name)); }
    char getOsSeparator() const override { return disk.getOsSeparator(); }
    // The library catches what is thrown here and gives its text as the
    // reason the reading failed.
    Assimp::IOStream* Open(const char* name, const char* mode) override {
        Assimp::IOStream* stream = openAllowed(name, mode);
        if (stream == nullptr && name != nullptr && libraryCannotLookFor(name))
            throw std::runtime_error("the file it names, '" + printableName(name) + "', cannot be looked for");
        return stream;
    }
    void Close(Assimp::IOStream* stream) override { delete stream; }

private:
    Assimp::IOStream* openAllowed(const char* name, const char* mode) {
        if (!mayOpen(name)) return nullptr;
        if (objectName != name) return disk.Open(name, mode);
        // Read again while it is being read: as its own material library.
        if (objectOpen > 0) return nullptr;
        Assimp::IOStream* stream = data != nullptr ? new Assimp::MemoryIOStream(data, size) : disk.Open(name, mode);
        return stream != nullptr ? new CountedStream(stream, objectOpen) : nullptr;
    }

    bool mayOpen(const char* name) const {
        if (name == nullptr) return false;
        if (objectName == name) return true;
        return data == nullptr && endsWith(objectName, ".gltf") && endsWith(name, ".bin");
    }

    std::string objectName;
    const uint8_t* data;
    std::size_t size;
    int objectOpen = 0;
    mutable Assimp::DefaultIOSystem disk;
};

// A binary glTF (either version) gives the length of its JSON part at bytes
// 12 to 15, and the library allocates and clears that much before it finds
// the file shorter: 24 bytes could claim 4 GB.
constexpr std::size_t glbHeadSize = 20;
bool glbJsonFitsItsFile(const uint8_t* head, std::size_t headSize, std::uint64_t fileSize) {
    if (headSize < glbHeadSize || std::memcmp(head, "glTF", 4) != 0) return true;
    const std::uint64_t jsonLength = head[12] | head[13] << 8 | head[14] << 16 | std::uint64_t{head[15]} << 24;
    return glbHeadSize + jsonLength <= fileSize;
}
const char* const glbTooShort = "cannot be read: GLB: its JSON part runs past the end of the file";

std::string firstLine(std::string text) {
    const std::size_t end = text.find_first_of("\r\n");
    if (end != std::string::npos) text.resize(end);
    while (!text.empty() && (text.back() == ' ' || text.back() == '.')) text.pop_back();
    return text.empty() ? "the library gives no reason" : text;
}

// Appends every triangle of the scene; what one mesh lacks (normals or
// texture coordinates) the whole object goes without, so that nothing is
// half taken from the file and half computed.
bool collectTriangles(const aiScene& scene, ImportedObject& object) {
    bool allNormals = true, allTexCoords = true;
    std::size_t points = 0;
    for (unsigned m = 0; m < scene.mNumMeshes; ++m) {
        const aiMesh* mesh = scene.mMeshes[m];
        if (mesh == nullptr || mesh->mVertices == nullptr || !(mesh->mPrimitiveTypes & aiPrimitiveType_TRIANGLE))
            continue;
        allNormals = allNormals && mesh->mNormals != nullptr;
        allTexCoords = allTexCoords && mesh->mTextureCoords[0] != nullptr;
        points += mesh->mNumVertices;
    }
    if (points > maxPoints) return false;
    object.points.reserve(points);
    for (unsigned m = 0; m < scene.mNumMeshes; ++m) {
        const aiMesh* mesh = scene.mMeshes[m];
        if (mesh == nullptr || mesh->mVertices == nullptr || !(mesh->mPrimitiveTypes & aiPrimitiveType_TRIANGLE))
            continue;
        const auto base = static_cast<int32_t>(object.points.size());
        for (unsigned i = 0; i < mesh->mNumVertices; ++i) {
            const aiVector3D& p = mesh->mVertices[i];
            object.points.emplace_back(p.x, p.y, p.z);
            if (allNormals) {
                const aiVector3D& n = mesh->mNormals[i];
                object.normals.emplace_back(n.x, n.y, n.z);
            }
            if (allTexCoords) {
                const aiVector3D& uv = mesh->mTextureCoords[0][i];
                object.texCoords.emplace_back(uv.x, uv.y);
            }
        }
        for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
            const aiFace& face = mesh->mFaces[f];
            if (face.mNumIndices != 3 || face.mIndices == nullptr) continue;
            if (face.mIndices[0] >= mesh->mNumVertices || face.mIndices[1] >= mesh->mNumVertices ||
                face.mIndices[2] >= mesh->mNumVertices)
                continue;
            for (int k = 0; k < 3; ++k) object.triangles.push_back(base + static_cast<int32_t>(face.mIndices[k]));
        }
    }
    return true;
}

bool takeScene(Assimp::Importer& importer, const aiScene* scene, ImportedObject& object, std::string& problem) {
    object = ImportedObject();
    if (scene == nullptr) {
        problem = "cannot be read: " + firstLine(importer.GetErrorString());
        return false;
    }
    if (!collectTriangles(*scene, object)) {
        object = ImportedObject();
        problem = "has more points than the player can draw";
        return false;
    }
    if (object.triangles.empty()) {
        object = ImportedObject();
        problem = "holds no triangles to draw";
        return false;
    }
    // An infinite or undefined coordinate spoils the normals of every
    // polygon around it and draws as stray spikes or nothing.
    const auto notFinite = std::find_if(object.points.begin(), object.points.end(), [](const Vec3& p) {
        return !std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z);
    });
    if (notFinite != object.points.end()) {
        problem =
            "cannot be read: point " + std::to_string(notFinite - object.points.begin()) + " is not a finite number";
        object = ImportedObject();
        return false;
    }
    return true;
}

}  // namespace

namespace {

bool importFromFile(const std::string& fileName, ImportedObject& object, std::string& problem) {
    std::ifstream file(fileName, std::ios::binary | std::ios::ate);
    if (!file) {
        object = ImportedObject();
        problem = "cannot be opened";
        return false;
    }
    const auto fileSize = static_cast<std::uint64_t>(std::max<std::streamoff>(file.tellg(), 0));
    uint8_t head[glbHeadSize] = {};
    file.seekg(0);
    file.read(reinterpret_cast<char*>(head), glbHeadSize);
    if (!glbJsonFitsItsFile(head, static_cast<std::size_t>(file.gcount()), fileSize)) {
        object = ImportedObject();
        problem = glbTooShort;
        return false;
    }
    try {
        Assimp::Importer importer;
        keepOnlyOurReaders(importer);
        // The importer owns its file system and deletes it.
        importer.SetIOHandler(new ObjectFiles(fileName, nullptr, 0));
        return takeScene(importer, importer.ReadFile(fileName, postProcessing), object, problem);
    } catch (const std::exception& error) {
        object = ImportedObject();
        problem = "cannot be read: " + firstLine(error.what());
        return false;
    }
}

}  // namespace

bool importObjectFile(const std::string& fileName, ImportedObject& object, std::string& problem) {
    const bool read = importFromFile(fileName, object, problem);
    if (AssetListener* listener = assetListener()) {
        ObjectFacts facts;
        facts.fileName = fileName;
        facts.imported = true;
        facts.opened = read || problem != "cannot be opened";
        std::vector<uint8_t> unread;
        if (!facts.opened) readAssetFile(fileName, unread, &facts.reason);
        facts.parsed = read;
        facts.polygons = object.triangleCount();
        if (!read) facts.importProblem = problem;
        listener->objectRead(facts);
    }
    return read;
}

bool importObjectFromMemory(const uint8_t* data, std::size_t size, const std::string& extension, ImportedObject& object,
                            std::string& problem) {
    if (data == nullptr || size == 0) {
        object = ImportedObject();
        problem = "is empty";
        return false;
    }
    if (!glbJsonFitsItsFile(data, size, size)) {
        object = ImportedObject();
        problem = glbTooShort;
        return false;
    }
    try {
        Assimp::Importer importer;
        keepOnlyOurReaders(importer);
        // Not the library's own reading from memory: that opens the object
        // again for any file it looks for whose name begins as the stand-in
        // name it gives the object (the OBJ reader's NAME.mtl).
        const std::string name = "object." + extension;
        importer.SetIOHandler(new ObjectFiles(name, data, size));
        return takeScene(importer, importer.ReadFile(name, postProcessing), object, problem);
    } catch (const std::exception& error) {
        object = ImportedObject();
        problem = "cannot be read: " + firstLine(error.what());
        return false;
    }
}
