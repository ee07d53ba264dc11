#include "assets/object_import.h"

#include <assimp/BaseImporter.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <assimp/Importer.hpp>

#include <algorithm>
#include <cstring>
#include <exception>
#include <fstream>
#include <limits>
#include <sstream>

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
    return true;
}

}  // namespace

namespace {

bool importFromFile(const std::string& fileName, ImportedObject& object, std::string& problem) {
    if (!std::ifstream(fileName, std::ios::binary)) {
        object = ImportedObject();
        problem = "cannot be opened";
        return false;
    }
    try {
        Assimp::Importer importer;
        keepOnlyOurReaders(importer);
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
    try {
        Assimp::Importer importer;
        keepOnlyOurReaders(importer);
        const aiScene* scene = importer.ReadFileFromMemory(data, size, postProcessing, extension.c_str());
        return takeScene(importer, scene, object, problem);
    } catch (const std::exception& error) {
        object = ImportedObject();
        problem = "cannot be read: " + firstLine(error.what());
        return false;
    }
}
