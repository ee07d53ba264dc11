#pragma once
// An indexed triangle mesh: positions, per-vertex and per-triangle normals,
// and index triples. Sizes are fixed at creation.
#include <cstdint>
#include <vector>

#include "assets/vec.h"

class Mesh {
public:
    // Negative counts are taken as 0.
    Mesh(int vertexCount, int polygonCount);

    // Out-of-range i: message on stderr, nothing changes.
    void setVertex(int i, float x, float y, float z);
    // Out-of-range i: message on stderr, nothing changes. The vertex indices
    // themselves are stored unchecked; see polygonsInRange.
    void setPolygon(int i, int a, int b, int c);

    // Null (with a warning on stderr) when the mesh has no such entries.
    Vec3* getVertices();
    Vec3* getVertexNormals();
    int32_t* getPolygons();  // 3 * polygonCount indices
    const Vec3* getPolygonNormals() const { return polygonNormals.data(); }

    int getVertexCount() const { return vertexCount; }
    int getPolygonCount() const { return polygonCount; }

    // True when every stored index names an existing vertex, so the index
    // array is safe to hand to GL.
    bool polygonsInRange() const;

    // Polygon normals (twice the area, not normalised), then for every vertex
    // the normalised sum of the normals of the polygons that use it, each
    // polygon counted once per vertex. One pass over the polygons. A vertex
    // no polygon uses, or whose sum cancels out, gets (0, 0, 1). Polygons
    // with out-of-range indices contribute nothing.
    void computeNormals();

private:
    int vertexCount;
    int polygonCount;
    std::vector<Vec3> vertices;
    std::vector<Vec3> vertexNormals;
    std::vector<Vec3> polygonNormals;
    std::vector<int32_t> polygons;
};
