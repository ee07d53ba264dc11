#include "shapes.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

namespace {

constexpr double pi = 3.14159265358979323846;

using Point = std::array<float, 3>;

Point normalised(Point p, float radius) {
    double len = std::sqrt(double(p[0]) * p[0] + double(p[1]) * p[1] + double(p[2]) * p[2]);
    return {float(p[0] / len * radius), float(p[1] / len * radius), float(p[2] / len * radius)};
}

// Rotation about x, then about y.
Point turned(const Point& p, double aboutX, double aboutY) {
    double y = p[1] * std::cos(aboutX) - p[2] * std::sin(aboutX);
    double z = p[1] * std::sin(aboutX) + p[2] * std::cos(aboutX);
    double x = p[0] * std::cos(aboutY) + z * std::sin(aboutY);
    z = -p[0] * std::sin(aboutY) + z * std::cos(aboutY);
    return {float(x), float(y), float(z)};
}

}  // namespace

TriangleMesh makeTorus(float R, float r, int segments, int sides) {
    TriangleMesh mesh;
    for (int i = 0; i < segments; ++i) {
        double theta = 2 * pi * i / segments;
        for (int j = 0; j < sides; ++j) {
            double phi = 2 * pi * j / sides;
            double ring = R + r * std::cos(phi);
            mesh.points.push_back(
                {float(ring * std::cos(theta)), float(ring * std::sin(theta)), float(r * std::sin(phi))});
        }
    }
    auto index = [&](int i, int j) { return uint16_t((i % segments) * sides + (j % sides)); };
    for (int i = 0; i < segments; ++i) {
        for (int j = 0; j < sides; ++j) {
            uint16_t a = index(i, j), b = index(i + 1, j), c = index(i + 1, j + 1), d = index(i, j + 1);
            mesh.triangles.push_back({a, b, c});
            mesh.triangles.push_back({a, c, d});
        }
    }
    return mesh;
}

TriangleMesh makeSphere(float radius, int levels) {
    const float g = float((1 + std::sqrt(5.0)) / 2);
    TriangleMesh mesh;
    mesh.points = {{-1, g, 0},  {1, g, 0},  {-1, -g, 0}, {1, -g, 0}, {0, -1, g},  {0, 1, g},
                   {0, -1, -g}, {0, 1, -g}, {g, 0, -1},  {g, 0, 1},  {-g, 0, -1}, {-g, 0, 1}};
    for (Point& p : mesh.points) p = normalised(p, 1);
    mesh.triangles = {{0, 11, 5},  {0, 5, 1},  {0, 1, 7},  {0, 7, 10}, {0, 10, 11}, {1, 5, 9}, {5, 11, 4},
                      {11, 10, 2}, {10, 7, 6}, {7, 1, 8},  {3, 9, 4},  {3, 4, 2},   {3, 2, 6}, {3, 6, 8},
                      {3, 8, 9},   {4, 9, 5},  {2, 4, 11}, {6, 2, 10}, {8, 6, 7},   {9, 8, 1}};
    for (int level = 0; level < levels; ++level) {
        std::map<std::pair<uint16_t, uint16_t>, uint16_t> midpoints;
        auto midpoint = [&](uint16_t a, uint16_t b) {
            auto key = std::minmax(a, b);
            auto found = midpoints.find(key);
            if (found != midpoints.end()) return found->second;
            const Point& p = mesh.points[a];
            const Point& q = mesh.points[b];
            mesh.points.push_back(normalised({p[0] + q[0], p[1] + q[1], p[2] + q[2]}, 1));
            uint16_t index = uint16_t(mesh.points.size() - 1);
            midpoints.emplace(key, index);
            return index;
        };
        std::vector<std::array<uint16_t, 3>> finer;
        for (const auto& t : mesh.triangles) {
            uint16_t ab = midpoint(t[0], t[1]), bc = midpoint(t[1], t[2]), ca = midpoint(t[2], t[0]);
            finer.push_back({t[0], ab, ca});
            finer.push_back({t[1], bc, ab});
            finer.push_back({t[2], ca, bc});
            finer.push_back({ab, bc, ca});
        }
        mesh.triangles = std::move(finer);
    }
    for (Point& p : mesh.points) p = normalised(turned(p, 0.11, 0.07), radius);
    return mesh;
}

double signedVolume(const TriangleMesh& mesh) {
    double volume = 0;
    for (const auto& t : mesh.triangles) {
        const Point& a = mesh.points[t[0]];
        const Point& b = mesh.points[t[1]];
        const Point& c = mesh.points[t[2]];
        volume += (double(a[0]) * (double(b[1]) * c[2] - double(b[2]) * c[1]) -
                   double(a[1]) * (double(b[0]) * c[2] - double(b[2]) * c[0]) +
                   double(a[2]) * (double(b[0]) * c[1] - double(b[1]) * c[0])) /
                  6.0;
    }
    return volume;
}
