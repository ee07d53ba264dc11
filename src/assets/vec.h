#pragma once
// Packed float vectors: arrays of them serve directly as GL vertex, normal
// and texture coordinate arrays.
#include <cmath>

struct Vec3 {
    float x = 0.0f, y = 0.0f, z = 0.0f;

    Vec3() = default;
    Vec3(float xValue, float yValue, float zValue) : x(xValue), y(yValue), z(zValue) {}

    void set(float xValue, float yValue, float zValue) {
        x = xValue;
        y = yValue;
        z = zValue;
    }
    void zero() { x = y = z = 0.0f; }
    Vec3 operator-(const Vec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    Vec3 operator+(const Vec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vec3& operator+=(const Vec3& o) {
        x += o.x;
        y += o.y;
        z += o.z;
        return *this;
    }
    Vec3 negate() const { return {-x, -y, -z}; }
    float length() const { return std::sqrt(x * x + y * y + z * z); }
    // In place; a zero vector stays zero instead of turning into NaNs.
    void normalize() {
        float l = length();
        if (l > 0.0f) {
            x /= l;
            y /= l;
            z /= l;
        }
    }
};

inline Vec3 cross(const Vec3& a, const Vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

struct Vec2 {
    float u = 0.0f, v = 0.0f;

    Vec2() = default;
    Vec2(float uValue, float vValue) : u(uValue), v(vValue) {}
    void set(float uValue, float vValue) {
        u = uValue;
        v = vValue;
    }
    void zero() { u = v = 0.0f; }
};

static_assert(sizeof(Vec3) == 3 * sizeof(float), "Vec3 must be packed for GL arrays");
static_assert(sizeof(Vec2) == 2 * sizeof(float), "Vec2 must be packed for GL arrays");
