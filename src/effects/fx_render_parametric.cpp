#include "effects/fx_render_parametric.h"

#include <strings.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "assets/lwo_reader.h"
#include "assets/mesh.h"
#include "assets/object_import.h"
#include "assets/texture.h"
#include "effects/mesh_object.h"
#include "framework/demo_limits.h"
#include "platform/render_state.h"
#include "platform/report.h"

namespace {

constexpr int defaultResolution = 32;
// Keeps the vertex count well inside 32 bits and a frame's work bounded.
constexpr int maxResolution = 1024;

// Spherical coordinates of a point's direction: w from the polar angle; u
// from the azimuth on the negative-y half only, 0 elsewhere. Points at the
// origin or on the z axis have no direction and get finite stand-ins.
Vec2 sphericalTexCoord(const Vec3& p) {
    const double pi = std::numbers::pi;
    const double length = std::sqrt(double(p.x) * p.x + double(p.y) * p.y + double(p.z) * p.z);
    if (!(length > 0.0)) return Vec2(0.0f, 0.0f);
    const double vx = p.x / length, vy = p.y / length, vz = p.z / length;
    const double w = std::acos(std::clamp(vz, -1.0, 1.0)) / pi;
    double u = 0.0;
    if (vy < 0.0) {
        const double ring = std::sin(w * pi);
        const double cosine = ring > 0.0 ? std::clamp(vx / ring, -1.0, 1.0) : 1.0;
        u = (std::acos(cosine) + pi) / (2.0 * pi);
    }
    return Vec2(static_cast<float>(u), static_cast<float>(w));
}

}  // namespace

FxRenderParametric::FxRenderParametric() = default;
FxRenderParametric::~FxRenderParametric() = default;

void FxRenderParametric::init(RenderState& renderState, const DemoLimits& limits) {
    eyeShift = 0.0f;
    spin = 0.0f;

    const std::string function = getStringValue("function");
    if (!function.empty()) {
        buildGrid(function, limits);
        animated = true;
    } else {
        QUARN_REPORT(Output, "getting LWO vertices\n");
        animated = false;
        buildFromObject();
    }

    eyeX.compile(getStringValue("position.x"), "t", "0");
    eyeY.compile(getStringValue("position.y"), "t", "0");
    eyeZ.compile(getStringValue("position.z"), "t", "0");
    rotX.compile(getStringValue("orientation.x"), "t", "0");
    rotY.compile(getStringValue("orientation.y"), "t", "0");
    rotZ.compile(getStringValue("orientation.z"), "t", "0");

    buildMaterial(renderState, limits);
}

int usableGridResolution(int written, const DemoLimits& limits) {
    if (written < 1) return defaultResolution;
    return std::min(written, std::clamp(limits.maxGridResolution, 1, maxResolution));
}

int usableGridResolution(int written) { return usableGridResolution(written, DemoLimits{}); }

int FxRenderParametric::readResolution(const char* name, const DemoLimits& limits) {
    const int* value = getInt(name);
    if (value == nullptr) return defaultResolution;
    const int used = usableGridResolution(*value, limits);
    if (used != *value)
        QUARN_REPORTF(Error, "%s of %i is too %s, using %i\n", name, *value, *value < 1 ? "small" : "large", used);
    return used;
}

void FxRenderParametric::buildGrid(const std::string& function, const DemoLimits& limits) {
    resolutionX = readResolution("resolutionx", limits);
    resolutionY = readResolution("resolutiony", limits);
    const int width = resolutionX + 1;
    const int vertexCount = width * (resolutionY + 1);

    meshObject = std::make_unique<MeshObject>();
    mesh = std::make_unique<Mesh>(vertexCount, 2 * resolutionX * resolutionY);
    meshObject->setMesh(mesh.get());

    texCoords.assign(vertexCount, Vec2());
    const float halfX = resolutionX / 2.0f;
    const float halfY = resolutionY / 2.0f;
    int k = 0;
    for (int row = 0; row <= resolutionY; ++row) {
        for (int column = 0; column <= resolutionX; ++column, ++k) {
            const float x = (column - halfX) / halfX;
            const float y = (row - halfY) / halfY;
            const float z = 0.1f * std::sin(24.0f * std::sqrt(x * x + y * y));
            mesh->setVertex(k, x, y, z);
            texCoords[k].set((x + 1.0f) / 2.0f, (y + 1.0f) / 2.0f);
        }
    }
    meshObject->setTexCoords(texCoords.data(), vertexCount);

    int p = 0;
    for (int j = 0; j < resolutionY; ++j) {
        for (int i = 0; i < resolutionX; ++i, p += 2) {
            const int below = j * width + i;
            const int above = below + width;
            mesh->setPolygon(p, below, below + 1, above);
            mesh->setPolygon(p + 1, below + 1, above + 1, above);
        }
    }
    height.compile(function, "x,y,r,a,t");
}

void FxRenderParametric::buildFromObject() {
    const char* named = getString("object");
    const std::string fileName = named != nullptr ? named : "";
    // OBJ, glTF and LightWave's later LWO2 go through the library; LWOB
    // stays with our own reader below.
    if (!fileName.empty() && isImportedObjectFile(fileName)) {
        buildFromImportedObject(fileName);
        return;
    }
    // The reader's own lines never name the file.
    auto notDrawn = [&fileName](const char* why) {
        if (fileName.empty())
            QUARN_REPORT(Error, "FxRenderParametric: no object file is named: nothing is drawn\n");
        else
            QUARN_REPORTF(Error, "FxRenderParametric: object file %s %s: it is not drawn\n", fileName.c_str(), why);
    };
    std::unique_ptr<LwoObject> object = loadLwoObject(fileName);
    if (object == nullptr) {
        notDrawn("cannot be opened or is shorter than 8 bytes");
        return;
    }
    const int pointCount = object->pointCount();
    QUARN_REPORTF(Output, "object has %i vertices and %i triangles\n", pointCount, object->polygonCount());

    // Only the first three indices of a polygon are drawn; polygons with
    // fewer, or naming points the file does not have, are left out.
    std::vector<const LwoPolygon*> usable;
    usable.reserve(object->polygons.size());
    for (const LwoPolygon& polygon : object->polygons) {
        const auto& idx = polygon.indices;
        if (idx.size() >= 3 && idx[0] < pointCount && idx[1] < pointCount && idx[2] < pointCount)
            usable.push_back(&polygon);
    }
    const int skipped = object->polygonCount() - static_cast<int>(usable.size());
    if (skipped > 0)
        QUARN_REPORTF(Error, "skipped %i polygons with fewer than three points or unknown points\n", skipped);
    if (usable.empty()) {
        notDrawn("holds no LightWave (LWOB) polygons the player can read");
        return;
    }

    mesh = std::make_unique<Mesh>(pointCount, static_cast<int>(usable.size()));
    meshObject = std::make_unique<MeshObject>();
    meshObject->setMesh(mesh.get());
    texCoords.assign(pointCount, Vec2());
    meshObject->setTexCoords(texCoords.data(), pointCount);

    for (int i = 0; i < pointCount; ++i) {
        const Vec3& p = object->points[i];
        mesh->setVertex(i, p.x, p.y, p.z);
        texCoords[i] = sphericalTexCoord(p);
    }
    for (size_t i = 0; i < usable.size(); ++i) {
        const auto& idx = usable[i]->indices;
        mesh->setPolygon(static_cast<int>(i), idx[0], idx[1], idx[2]);
    }
    mesh->computeNormals();
}

// Points, triangles and whatever normals and texture coordinates the file
// has; the rest is computed as for a LightWave object, so the same points
// and polygons draw the same from either route.
void FxRenderParametric::buildFromImportedObject(const std::string& fileName) {
    ImportedObject object;
    std::string problem;
    if (!importObjectFile(fileName, object, problem)) {
        QUARN_REPORTF(Error, "object file '%s' %s\n", fileName.c_str(), problem.c_str());
        QUARN_REPORT(Error, "FxRenderParametric: no object to draw\n");
        return;
    }
    const int pointCount = static_cast<int>(object.points.size());
    QUARN_REPORTF(Output, "object has %i vertices and %i triangles\n", pointCount, object.triangleCount());

    mesh = std::make_unique<Mesh>(pointCount, object.triangleCount());
    meshObject = std::make_unique<MeshObject>();
    meshObject->setMesh(mesh.get());
    texCoords.assign(pointCount, Vec2());
    meshObject->setTexCoords(texCoords.data(), pointCount);
    const bool fileTexCoords = object.texCoords.size() == object.points.size();
    for (int i = 0; i < pointCount; ++i) {
        const Vec3& p = object.points[i];
        mesh->setVertex(i, p.x, p.y, p.z);
        texCoords[i] = fileTexCoords ? object.texCoords[i] : sphericalTexCoord(p);
    }
    for (int i = 0; i < object.triangleCount(); ++i)
        mesh->setPolygon(i, object.triangles[3 * i], object.triangles[3 * i + 1], object.triangles[3 * i + 2]);
    // Polygon normals are always computed; the file's own vertex normals,
    // where it has them, replace the computed ones.
    mesh->computeNormals();
    if (object.normals.size() == object.points.size()) {
        Vec3* normals = mesh->getVertexNormals();
        for (int i = 0; i < pointCount; ++i) {
            Vec3 normal = object.normals[i];
            normal.normalize();
            // A zero or broken normal from the file keeps the computed one.
            if (std::isfinite(normal.x) && std::isfinite(normal.y) && std::isfinite(normal.z) && normal.length() > 0.5f)
                normals[i] = normal;
        }
    }
}

void FxRenderParametric::buildMaterial(RenderState& rs, const DemoLimits& limits) {
    material.flags = 0;
    if (getStringValue("transparent") == "true") material.flags |= MaterialSeeThrough;
    if (meshObject) meshObject->setMaterial(&material);

    TextureManager manager(limits.maxJpegPixels);
    Texture* texture = textures.emplace_back(manager.loadTexture(getStringValue("textureFilename"), false)).get();
    manager.addAlpha(texture, getStringValue("alphaFilename"));
    texture->upload(rs);

    const char* mapping = getString("mapping");
    if (mapping == nullptr)
        layers.push_back(std::make_unique<TextureLayer>(TextureLayer{texture, LayerKindEnvironment}));
    else if (strcasecmp(mapping, "pregenerated") == 0)
        layers.push_back(std::make_unique<TextureLayer>(TextureLayer{texture, LayerKindPlain}));

    const std::string envFilename = getStringValue("envFilename");
    if (!envFilename.empty()) {
        Texture* environment = textures.emplace_back(manager.loadTexture(envFilename, false)).get();
        environment->upload(rs);
        QUARN_REPORT(Output, "yep, we've got an envmap!\n");
        layers.push_back(std::make_unique<TextureLayer>(TextureLayer{environment, LayerKindEnvironment}));
    }
    for (const auto& layer : layers) material.layers.push_back(layer.get());
}

void FxRenderParametric::draw(RenderState& rs) {
    if (!meshObject) return;
    setSceneView(rs);

    const float t = getTime();
    meshObject->setPosition(Vec3(eyeX.evaluateAt(t), eyeY.evaluateAt(t), eyeZ.evaluateAt(t) + eyeShift));
    meshObject->setRotation(Vec3(rotX.evaluateAt(t) + spin, rotY.evaluateAt(t) + spin, rotZ.evaluateAt(t) + spin));
    if (animated) {
        updateHeights(t);
        updateNormals();
    }
    meshObject->draw(rs, t);
}

void FxRenderParametric::updateHeights(float t) {
    Vec3* vertices = mesh->getVertices();
    const int count = mesh->getVertexCount();
    for (int k = 0; k < count; ++k) {
        Vec3& v = vertices[k];
        const double variables[5] = {v.x, v.y, std::sqrt(double(v.x) * v.x + double(v.y) * v.y),
                                     std::atan2(double(v.y), double(v.x)), t};
        v.z = static_cast<float>(height.evaluate(variables));
    }
}

void FxRenderParametric::updateNormals() {
    const Vec3* v = mesh->getVertices();
    Vec3* n = mesh->getVertexNormals();
    const int width = resolutionX + 1;
    int k = 0;
    for (int row = 0; row <= resolutionY; ++row) {
        for (int column = 0; column <= resolutionX; ++column, ++k) {
            if (column == 0) {
                n[k].set(0.0f, 0.0f, 1.0f);
            } else if (row == 0 || row == resolutionY || column == resolutionX) {
                n[k] = n[k - 1];
            } else {
                n[k] = cross(v[k + 1] - v[k - 1], v[k + width] - v[k - width]);
                n[k].normalize();
            }
        }
    }
}

void FxRenderParametric::onSyncEvent(std::string name) {
    if (name == "pushback") {
        eyeShift -= 5.0f;
        spin += 30.0f;
    } else if (name == "offset") {
        spin -= 5.0f;
    }
}
