// Objects as modelling tools write them, read through the library route.
#include "assets/object_import.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "support/lwo_bytes.h"
#include "support/object_files.h"
#include "support/scratch_directory.h"

namespace {

ImportedObject importText(const std::string& text, const std::string& extension, std::string& problem) {
    ImportedObject object;
    importObjectFromMemory(reinterpret_cast<const uint8_t*>(text.data()), text.size(), extension, object, problem);
    return object;
}

}  // namespace

TEST(ObjectImport, BlenderStyleObjTakesItsQuadsNormalsAndTextureCoordinates) {
    std::string problem;
    const ImportedObject cube = importText(blenderCubeObj, "obj", problem);
    EXPECT_EQ(problem, "");
    // Flat faces: each corner once per face it touches.
    EXPECT_EQ(cube.points.size(), 24u);
    EXPECT_EQ(cube.triangleCount(), 12);
    ASSERT_EQ(cube.normals.size(), 24u);
    ASSERT_EQ(cube.texCoords.size(), 24u);
    // The first face is the top (+y): its points carry its normal, and its
    // first corner "vt 0.625 0.5" comes out with v counted from the top.
    for (int k = 0; k < 3; ++k) {
        const Vec3& n = cube.normals[static_cast<std::size_t>(cube.triangles[static_cast<std::size_t>(k)])];
        EXPECT_FLOAT_EQ(n.y, 1.0f);
    }
    bool foundCorner = false;
    for (std::size_t i = 0; i < cube.points.size(); ++i) {
        const Vec3& p = cube.points[i];
        if (p.x == 1 && p.y == 1 && p.z == -1 && cube.normals[i].y > 0.5f) {
            EXPECT_FLOAT_EQ(cube.texCoords[i].u, 0.625f);
            EXPECT_FLOAT_EQ(cube.texCoords[i].v, 0.5f);
            foundCorner = true;
        }
    }
    EXPECT_TRUE(foundCorner);

    // Negative indices count back from the latest point; without vn and vt
    // the object leaves normals and texture coordinates to the player.
    const ImportedObject relative = importText("o Tri\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf -3 -2 -1\n", "obj", problem);
    EXPECT_EQ(relative.triangleCount(), 1);
    EXPECT_TRUE(relative.normals.empty());
    EXPECT_TRUE(relative.texCoords.empty());
}

TEST(ObjectImport, GltfWithAnEmbeddedBufferKeepsItsOwnNormalsAndTextureCoordinates) {
    std::string problem;
    const ImportedObject triangle = importText(
        gltfTriangle({0, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 0.6f, 0.8f, 0, 0.6f, 0.8f, 0, 0.6f, 0.8f}, {0, 0, 1, 0, 0, 1}),
        "gltf", problem);
    EXPECT_EQ(problem, "");
    ASSERT_EQ(triangle.triangleCount(), 1);
    ASSERT_EQ(triangle.normals.size(), 3u);
    ASSERT_EQ(triangle.texCoords.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_NEAR(triangle.normals[i].z, 0.8f, 1e-6f);
        const Vec3& p = triangle.points[i];
        // glTF's texture coordinates already count v from the top.
        EXPECT_NEAR(triangle.texCoords[i].u, p.x, 1e-6f);
        EXPECT_NEAR(triangle.texCoords[i].v, p.y, 1e-6f);
    }
}

TEST(ObjectImport, LightWave2FilesGoToTheLibraryAndLwobStaysOurs) {
    ScratchDirectory scratch;
    const Bytes square = {'F', 'A', 'C', 'E', 0, 4, 0, 0, 0, 1, 0, 2, 0, 3};
    const Bytes lwo2 = lwoFile(
        {lwoChunk("LAYR", Bytes(18, 0)), lwoPoints({0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0}), lwoChunk("POLS", square)},
        "LWO2");
    writeBytesToFile("square.lwo", lwo2);
    writeBytesToFile("old.lwo", lwoFile({lwoPoints({0, 0, 0}), lwoPolygons({})}));
    EXPECT_TRUE(isImportedObjectFile("square.lwo"));
    EXPECT_FALSE(isImportedObjectFile("old.lwo"));
    EXPECT_TRUE(isImportedObjectFile("Model.GLB"));

    ImportedObject object;
    std::string problem;
    ASSERT_TRUE(importObjectFile("square.lwo", object, problem)) << problem;
    EXPECT_EQ(object.points.size(), 4u);
    EXPECT_EQ(object.triangleCount(), 2);
}

// The library's OBJ reader would read the material library the file names
// (or, missing that, one named after the file) and crash on a library that
// gives a texture before its first material. The player takes no materials
// from the file: such objects are read without opening their libraries.
TEST(ObjectImport, ObjMaterialLibrariesAreNotOpened) {
    const std::string triangle = "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";
    ScratchDirectory scratch;
    const std::string object = "mtllib cube.mtl\n" + triangle;
    writeBytesToFile("cube.obj", Bytes(object.begin(), object.end()));
    const std::string library = "bump stripes.tga\nnewmtl Material\n";
    writeBytesToFile("cube.mtl", Bytes(library.begin(), library.end()));
    ImportedObject fromFile;
    std::string problem;
    EXPECT_TRUE(importObjectFile("cube.obj", fromFile, problem)) << problem;
    EXPECT_EQ(fromFile.triangleCount(), 1);

    // A file naming itself as its library, on disk and in memory.
    const std::string itself = "bump stripes.tga\nmtllib self.obj\n" + triangle;
    writeBytesToFile("self.obj", Bytes(itself.begin(), itself.end()));
    EXPECT_TRUE(importObjectFile("self.obj", fromFile, problem)) << problem;
    EXPECT_EQ(importText("bump stripes.tga\nmtllib object.obj\n" + triangle, "obj", problem).triangleCount(), 1);

    // In memory, the library's own stand-in name for a missing library was
    // the object itself, read again as a material library.
    const ImportedObject fromMemory = importText("bump stripes.tga\nmtllib none.mtl\n" + triangle, "obj", problem);
    EXPECT_EQ(fromMemory.triangleCount(), 1) << problem;
}

// When a file the object names does not open, the library tidies the name
// and tries again; on these names that tidying walked past the end of the
// name and crashed (found by fuzz_object_import). The reading now fails
// first, from disk and from memory alike.
TEST(ObjectImport, NamesTheLibraryWouldTidyPastTheirEndFailTheReading) {
    const std::string triangle = "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";
    const auto gltfNaming = [](const std::string& uri) {
        return "{\"asset\":{\"version\":\"2.0\"},\"buffers\":[{\"uri\":\"" + uri +
               "\",\"byteLength\":36}],\"bufferViews\":[{\"buffer\":0,\"byteLength\":36}],"
               "\"accessors\":[{\"bufferView\":0,\"componentType\":5126,\"count\":3,\"type\":\"VEC3\"}],"
               "\"meshes\":[{\"primitives\":[{\"attributes\":{\"POSITION\":0}}]}],\"nodes\":[{\"mesh\":0}],"
               "\"scenes\":[{\"nodes\":[0]}],\"scene\":0}";
    };
    ScratchDirectory scratch;
    ASSERT_TRUE(std::filesystem::create_directory("objects"));
    const std::string obj = "mtllib a://\n" + triangle;
    writeBytesToFile("objects/odd.obj", Bytes(obj.begin(), obj.end()));
    const std::string gltf = gltfNaming("b://");
    writeBytesToFile("objects/odd.gltf", Bytes(gltf.begin(), gltf.end()));
    ImportedObject object;
    std::string problem;
    EXPECT_FALSE(importObjectFile("objects/odd.obj", object, problem));
    EXPECT_EQ(problem, "cannot be read: the file it names, 'objects/a://', cannot be looked for");
    EXPECT_FALSE(importObjectFile("objects/odd.gltf", object, problem));
    EXPECT_EQ(problem, "cannot be read: the file it names, 'objects/b://', cannot be looked for");

    EXPECT_EQ(importText(obj, "obj", problem).triangleCount(), 0);
    EXPECT_EQ(problem, "cannot be read: the file it names, 'a://', cannot be looked for");
    EXPECT_EQ(importText(gltfNaming(" "), "gltf", problem).triangleCount(), 0);
    EXPECT_EQ(problem, "cannot be read: the file it names, ' ', cannot be looked for");
    EXPECT_EQ(importText(gltfNaming("\\\\\\\\"), "gltf", problem).triangleCount(), 0);
    EXPECT_EQ(problem, "cannot be read: the file it names, '\\\\', cannot be looked for");
    // Names that only look like addresses still just go unread.
    EXPECT_EQ(importText("mtllib http://example.org/a.mtl\n" + triangle, "obj", problem).triangleCount(), 1) << problem;
}

TEST(ObjectImport, DamagedFilesSayWhyAndLeaveTheObjectEmpty) {
    const struct {
        std::string text, extension, problem;
    } cases[] = {
        {"o Broken\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 9\n", "obj", "cannot be read: OBJ: vertex index out of range"},
        {"o Lines\nv 0 0 0\nv 1 0 0\nl 1 2\n", "obj", "holds no triangles to draw"},
        {"{\"asset\":{\"version\":\"2.0\"},\"meshes\":[{\"primitives\":[{\"attributes\":{\"POSITION\":5}}]}]}", "gltf",
         "cannot be read: GLTF: No scene"},
        {gltfTriangle({0, 0, 0, 1, 0, 0, 0, 1, 0}, {}, {}).substr(0, 300), "gltf", ""},
        {"glTF garbage", "glb", ""},
        // 24 bytes that claim a JSON part of 1 GB: the library would clear
        // that much memory before finding the file shorter.
        {std::string("glTF\x02\0\0\0\x18\0\0\0\0\0\0\x40JSON{}  ", 24), "glb",
         "cannot be read: GLB: its JSON part runs past the end of the file"},
    };
    for (const auto& each : cases) {
        std::string problem;
        const ImportedObject object = importText(each.text, each.extension, problem);
        EXPECT_TRUE(object.points.empty() && object.triangles.empty()) << each.text;
        if (each.problem.empty())
            EXPECT_TRUE(problem.starts_with("cannot be read: ")) << problem;
        else
            EXPECT_EQ(problem, each.problem);
        EXPECT_EQ(problem.find('\n'), std::string::npos);
    }
    ImportedObject object;
    std::string problem;
    EXPECT_FALSE(importObjectFile("nowhere.obj", object, problem));
    EXPECT_EQ(problem, "cannot be opened");

    ScratchDirectory scratch;
    const std::string claimsTooMuch("glTF\x02\0\0\0\x18\0\0\0\0\0\0\x40JSON{}  ", 24);
    writeBytesToFile("huge.glb", Bytes(claimsTooMuch.begin(), claimsTooMuch.end()));
    EXPECT_FALSE(importObjectFile("huge.glb", object, problem));
    EXPECT_EQ(problem, "cannot be read: GLB: its JSON part runs past the end of the file");
}
