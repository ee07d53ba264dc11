#include "assets/mesh.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

void expectVec(const Vec3& v, float x, float y, float z) {
    EXPECT_NEAR(v.x, x, 1e-6f);
    EXPECT_NEAR(v.y, y, 1e-6f);
    EXPECT_NEAR(v.z, z, 1e-6f);
}

// The plain definition: for every vertex scan all polygons.
std::vector<Vec3> referenceVertexNormals(Mesh& mesh) {
    const Vec3* v = mesh.getVertices();
    const int32_t* p = mesh.getPolygons();
    std::vector<Vec3> normals(mesh.getVertexCount());
    for (int vertex = 0; vertex < mesh.getVertexCount(); ++vertex) {
        Vec3 sum;
        for (int i = 0; i < mesh.getPolygonCount(); ++i) {
            const int a = p[3 * i], b = p[3 * i + 1], c = p[3 * i + 2];
            if (a == vertex || b == vertex || c == vertex) sum += cross(v[a] - v[b], v[a] - v[c]);
        }
        if (sum.length() > 0.0f)
            sum.normalize();
        else
            sum.set(0.0f, 0.0f, 1.0f);
        normals[vertex] = sum;
    }
    return normals;
}

}  // namespace

TEST(Mesh, OutOfRangeSettersWarnOnceEachAndChangeNothing) {
    Mesh mesh(2, 1);
    mesh.setVertex(1, 1.0f, 2.0f, 3.0f);
    mesh.setPolygon(0, 0, 1, 1);
    testing::internal::CaptureStderr();
    mesh.setVertex(-1, 9.0f, 9.0f, 9.0f);
    mesh.setVertex(2, 9.0f, 9.0f, 9.0f);
    mesh.setPolygon(1, 7, 7, 7);
    mesh.setPolygon(-1, 7, 7, 7);
    const std::string line = "trying to set value of Vertex out of bounds!\n";
    EXPECT_EQ(testing::internal::GetCapturedStderr(), line + line + line + line);
    expectVec(mesh.getVertices()[0], 0.0f, 0.0f, 0.0f);
    expectVec(mesh.getVertices()[1], 1.0f, 2.0f, 3.0f);
    EXPECT_EQ(mesh.getPolygons()[0], 0);
    EXPECT_EQ(mesh.getPolygons()[2], 1);
}

TEST(Mesh, EmptyMeshGettersWarnAndReturnNull) {
    Mesh mesh(0, -3);
    EXPECT_EQ(mesh.getPolygonCount(), 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(mesh.getVertices(), nullptr);
    EXPECT_EQ(mesh.getVertexNormals(), nullptr);
    EXPECT_EQ(mesh.getPolygons(), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "WARNING: returning NULL value from Mesh::getVertices()!\n"
              "WARNING: returning NULL value from Mesh::getVertexNormals()!\n"
              "WARNING: returning NULL value from Mesh::getPolygons()!\n");
}

TEST(Mesh, SingleCounterClockwiseTriangleFacesPositiveZ) {
    Mesh mesh(3, 1);
    mesh.setVertex(0, 0.0f, 0.0f, 0.0f);
    mesh.setVertex(1, 1.0f, 0.0f, 0.0f);
    mesh.setVertex(2, 0.0f, 1.0f, 0.0f);
    mesh.setPolygon(0, 0, 1, 2);
    mesh.computeNormals();
    expectVec(mesh.getPolygonNormals()[0], 0.0f, 0.0f, 1.0f);
    for (int i = 0; i < 3; ++i) expectVec(mesh.getVertexNormals()[i], 0.0f, 0.0f, 1.0f);
}

TEST(Mesh, SharedVertexNormalIsWeightedByArea) {
    Mesh mesh(5, 2);
    mesh.setVertex(0, 0.0f, 0.0f, 0.0f);
    mesh.setVertex(1, 1.0f, 0.0f, 0.0f);
    mesh.setVertex(2, 0.0f, 2.0f, 0.0f);  // area 1, normal +z
    mesh.setVertex(3, 0.0f, 0.0f, 2.0f);
    mesh.setVertex(4, 0.0f, 3.0f, 0.0f);  // area 3, normal -x
    mesh.setPolygon(0, 0, 1, 2);
    mesh.setPolygon(1, 0, 3, 4);
    mesh.computeNormals();
    expectVec(mesh.getPolygonNormals()[0], 0.0f, 0.0f, 2.0f);
    expectVec(mesh.getPolygonNormals()[1], -6.0f, 0.0f, 0.0f);
    const Vec3 shared = mesh.getVertexNormals()[0];
    EXPECT_NEAR(shared.length(), 1.0f, 1e-6f);
    EXPECT_NEAR(shared.x / shared.z, -3.0f, 1e-5f);
    expectVec(mesh.getVertexNormals()[4], -1.0f, 0.0f, 0.0f);
}

TEST(Mesh, DegenerateAndUnusedVerticesGetADefinedNormal) {
    // Polygon 1 names vertex 0 twice: it has no area and must not disturb
    // vertex 0; vertex 3 is used by no polygon at all.
    Mesh mesh(4, 2);
    mesh.setVertex(1, 1.0f, 0.0f, 0.0f);
    mesh.setVertex(2, 0.0f, 1.0f, 0.0f);
    mesh.setVertex(3, 5.0f, 5.0f, 5.0f);
    mesh.setPolygon(0, 0, 1, 2);
    mesh.setPolygon(1, 0, 0, 1);
    mesh.computeNormals();
    expectVec(mesh.getVertexNormals()[0], 0.0f, 0.0f, 1.0f);
    expectVec(mesh.getVertexNormals()[3], 0.0f, 0.0f, 1.0f);
}

TEST(Mesh, OutOfRangeIndicesAreDetectedAndSkippedByNormals) {
    Mesh mesh(3, 2);
    mesh.setVertex(1, 1.0f, 0.0f, 0.0f);
    mesh.setVertex(2, 0.0f, 1.0f, 0.0f);
    mesh.setPolygon(0, 0, 1, 2);
    mesh.setPolygon(1, 0, 2, 1);
    EXPECT_TRUE(mesh.polygonsInRange());
    mesh.setPolygon(1, 0, 3, 1);
    EXPECT_FALSE(mesh.polygonsInRange());
    mesh.setPolygon(1, -1, 2, 1);
    EXPECT_FALSE(mesh.polygonsInRange());
    mesh.computeNormals();
    expectVec(mesh.getPolygonNormals()[1], 0.0f, 0.0f, 0.0f);
    expectVec(mesh.getVertexNormals()[0], 0.0f, 0.0f, 1.0f);
}

TEST(Mesh, OnePassNormalsEqualThePlainScanOnRandomMeshes) {
    std::mt19937 random(1234);
    std::uniform_real_distribution<float> coordinate(-10.0f, 10.0f);
    for (int round = 0; round < 20; ++round) {
        const int vertexCount = 3 + static_cast<int>(random() % 60);
        const int polygonCount = 1 + static_cast<int>(random() % 120);
        Mesh mesh(vertexCount, polygonCount);
        for (int i = 0; i < vertexCount; ++i)
            mesh.setVertex(i, coordinate(random), coordinate(random), coordinate(random));
        for (int i = 0; i < polygonCount; ++i)
            mesh.setPolygon(i, random() % vertexCount, random() % vertexCount, random() % vertexCount);
        mesh.computeNormals();
        const std::vector<Vec3> expected = referenceVertexNormals(mesh);
        for (int i = 0; i < vertexCount; ++i) {
            EXPECT_EQ(mesh.getVertexNormals()[i].x, expected[i].x) << "round " << round << " vertex " << i;
            EXPECT_EQ(mesh.getVertexNormals()[i].y, expected[i].y);
            EXPECT_EQ(mesh.getVertexNormals()[i].z, expected[i].z);
        }
    }
}
