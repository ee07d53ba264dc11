// Objects other tools wrote: Debian's assimp-testmodels holds files from
// Blender, Modo, LightWave and the glTF sample models, good ones and ones
// broken on purpose (bad normals, infinite coordinates, vertex arrays that
// disagree). Each either reads to triangles over its own points, or is
// refused with a one-line reason: never a crash or a stray index.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <map>
#include <string>

#include "assets/object_import.h"

namespace {

const std::filesystem::path modelsRoot = "/usr/share/assimp/models";

std::string lowerExtension(const std::filesystem::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

bool isFinite(const Vec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

}  // namespace

TEST(ObjectImport, FilesOtherToolsWroteReadOrSayWhy) {
    if (!std::filesystem::exists(modelsRoot))
        GTEST_SKIP() << modelsRoot << " is missing: scripts/install-deps.sh installs assimp-testmodels";
    std::map<std::string, int> triangles;         // by path below the root, for the files read
    std::map<std::string, std::string> problems;  // by path below the root, for the files refused
    for (const auto& entry : std::filesystem::recursive_directory_iterator(modelsRoot)) {
        if (!entry.is_regular_file()) continue;
        const std::string extension = lowerExtension(entry.path());
        const std::string path = entry.path().string();
        if (extension != ".obj" && extension != ".gltf" && extension != ".glb" && extension != ".lwo") continue;
        // LWOB files are our own reader's; the rest of .lwo is this route's.
        if (!isImportedObjectFile(path)) continue;
        SCOPED_TRACE(path);
        ImportedObject object;
        std::string problem;
        if (!importObjectFile(path, object, problem)) {
            EXPECT_FALSE(problem.empty());
            EXPECT_EQ(problem.find('\n'), std::string::npos);
            problems[std::filesystem::relative(entry.path(), modelsRoot).string()] = problem;
            continue;
        }
        EXPECT_GT(object.triangleCount(), 0);
        EXPECT_EQ(object.triangles.size() % 3, 0u);
        for (const int32_t index : object.triangles) {
            ASSERT_GE(index, 0);
            ASSERT_LT(static_cast<std::size_t>(index), object.points.size());
        }
        EXPECT_TRUE(object.normals.empty() || object.normals.size() == object.points.size());
        EXPECT_TRUE(object.texCoords.empty() || object.texCoords.size() == object.points.size());
        EXPECT_TRUE(std::all_of(object.points.begin(), object.points.end(), isFinite));
        triangles[std::filesystem::relative(entry.path(), modelsRoot).string()] = object.triangleCount();
    }
    // Known good files from three tools and three formats.
    EXPECT_EQ(triangles["glTF2/BoxTextured-glTF/BoxTextured.gltf"], 12);
    EXPECT_EQ(triangles["glTF2/BoxTextured-glTF-Binary/BoxTextured.glb"], 12);
    EXPECT_EQ(triangles["OBJ/box.obj"], 12);
    EXPECT_GT(triangles["OBJ/spider.obj"], 1000);
    EXPECT_GT(triangles["LWO/LWO2/ModoExport_vertNormals.lwo"], 0);
    EXPECT_GT(triangles.size(), 60u);
    // Broken on purpose: coordinates of infinity.
    EXPECT_EQ(problems["glTF2/BoxWithInfinites-glTF-Binary/BoxWithInfinites.glb"],
              "cannot be read: point 0 is not a finite number");
}
