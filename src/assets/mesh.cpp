#include "assets/mesh.h"
#include "platform/report.h"

#include <cstdio>

namespace {
const char* const outOfBoundsMessage = "trying to set value of Vertex out of bounds!\n";
}

Mesh::Mesh(int vertexCount, int polygonCount)
    : vertexCount(vertexCount > 0 ? vertexCount : 0),
      polygonCount(polygonCount > 0 ? polygonCount : 0),
      vertices(static_cast<size_t>(this->vertexCount)),
      vertexNormals(static_cast<size_t>(this->vertexCount)),
      polygonNormals(static_cast<size_t>(this->polygonCount)),
      polygons(static_cast<size_t>(this->polygonCount) * 3, 0) {}

void Mesh::setVertex(int i, float x, float y, float z) {
    if (i < 0 || i >= vertexCount) {
        QUARN_REPORT(Error, outOfBoundsMessage);
        return;
    }
    vertices[i].set(x, y, z);
}

void Mesh::setPolygon(int i, int a, int b, int c) {
    if (i < 0 || i >= polygonCount) {
        QUARN_REPORT(Error, outOfBoundsMessage);
        return;
    }
    polygons[3 * i] = a;
    polygons[3 * i + 1] = b;
    polygons[3 * i + 2] = c;
}

Vec3* Mesh::getVertices() {
    if (vertices.empty()) {
        QUARN_REPORT(Error, "WARNING: returning NULL value from Mesh::getVertices()!\n");
        return nullptr;
    }
    return vertices.data();
}

Vec3* Mesh::getVertexNormals() {
    if (vertexNormals.empty()) {
        QUARN_REPORT(Error, "WARNING: returning NULL value from Mesh::getVertexNormals()!\n");
        return nullptr;
    }
    return vertexNormals.data();
}

int32_t* Mesh::getPolygons() {
    if (polygons.empty()) {
        QUARN_REPORT(Error, "WARNING: returning NULL value from Mesh::getPolygons()!\n");
        return nullptr;
    }
    return polygons.data();
}

bool Mesh::polygonsInRange() const {
    for (int32_t index : polygons)
        if (index < 0 || index >= vertexCount) return false;
    return true;
}

void Mesh::computeNormals() {
    for (Vec3& n : vertexNormals) n.zero();
    // Scattering each polygon's normal onto its vertices adds, per vertex,
    // the same terms in the same polygon order as scanning all polygons for
    // every vertex would, so the sums are identical, in linear time.
    for (int i = 0; i < polygonCount; ++i) {
        const int a = polygons[3 * i];
        const int b = polygons[3 * i + 1];
        const int c = polygons[3 * i + 2];
        if (a < 0 || a >= vertexCount || b < 0 || b >= vertexCount || c < 0 || c >= vertexCount) {
            polygonNormals[i].zero();
            continue;
        }
        const Vec3 n = cross(vertices[a] - vertices[b], vertices[a] - vertices[c]);
        polygonNormals[i] = n;
        vertexNormals[a] += n;
        if (b != a) vertexNormals[b] += n;
        if (c != a && c != b) vertexNormals[c] += n;
    }
    for (Vec3& n : vertexNormals) {
        if (n.length() > 0.0f)
            n.normalize();
        else
            n.set(0.0f, 0.0f, 1.0f);
    }
}
