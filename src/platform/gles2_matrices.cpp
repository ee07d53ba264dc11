#include "platform/gles2_matrices.h"

#include <cmath>

namespace gles2 {

Matrix Matrix::operator*(const Matrix& b) const {
    Matrix r;
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < 4; ++row) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum += m[k * 4 + row] * b.m[column * 4 + k];
            r.m[column * 4 + row] = sum;
        }
    return r;
}

Matrix fromRows(std::initializer_list<float> rows) {
    Matrix r;
    int i = 0;
    for (float v : rows) {
        r.m[(i % 4) * 4 + i / 4] = v;
        ++i;
    }
    return r;
}

Matrix orthoMatrix(double l, double r, double b, double t, double n, double f) {
    return fromRows({static_cast<float>(2 / (r - l)), 0, 0, static_cast<float>(-(r + l) / (r - l)), 0,
                     static_cast<float>(2 / (t - b)), 0, static_cast<float>(-(t + b) / (t - b)), 0, 0,
                     static_cast<float>(-2 / (f - n)), static_cast<float>(-(f + n) / (f - n)), 0, 0, 0, 1});
}

Matrix perspectiveMatrix(float fovY, float aspect, float zNear, float zFar) {
    const double radians = fovY / 2.0 * M_PI / 180.0;
    const double deltaZ = static_cast<double>(zFar) - zNear;
    const double sine = std::sin(radians);
    if (deltaZ == 0 || sine == 0 || aspect == 0) return Matrix{};
    const double cotangent = std::cos(radians) / sine;
    return fromRows({static_cast<float>(cotangent / aspect), 0, 0, 0, 0, static_cast<float>(cotangent), 0, 0, 0, 0,
                     static_cast<float>(-(static_cast<double>(zFar) + zNear) / deltaZ),
                     static_cast<float>(-2.0 * zNear * zFar / deltaZ), 0, 0, -1, 0});
}

Matrix translationMatrix(float x, float y, float z) {
    return fromRows({1, 0, 0, x, 0, 1, 0, y, 0, 0, 1, z, 0, 0, 0, 1});
}

std::optional<Matrix> rotationMatrix(float angle, float x, float y, float z) {
    const float length = std::sqrt(x * x + y * y + z * z);
    if (length == 0.0f) return std::nullopt;
    x /= length;
    y /= length;
    z /= length;
    const float radians = angle * static_cast<float>(M_PI) / 180.0f;
    const float c = std::cos(radians), s = std::sin(radians), k = 1.0f - c;
    return fromRows({x * x * k + c, x * y * k - z * s, x * z * k + y * s, 0, y * x * k + z * s, y * y * k + c,
                     y * z * k - x * s, 0, x * z * k - y * s, y * z * k + x * s, z * z * k + c, 0, 0, 0, 0, 1});
}

Matrix scalingMatrix(float x, float y, float z) { return fromRows({x, 0, 0, 0, 0, y, 0, 0, 0, 0, z, 0, 0, 0, 0, 1}); }

std::array<float, 9> normalMatrix(const Matrix& mv) {
    auto a = [&](int row, int column) { return static_cast<double>(mv.m[column * 4 + row]); };
    const double c00 = a(1, 1) * a(2, 2) - a(1, 2) * a(2, 1);
    const double c01 = a(1, 2) * a(2, 0) - a(1, 0) * a(2, 2);
    const double c02 = a(1, 0) * a(2, 1) - a(1, 1) * a(2, 0);
    const double det = a(0, 0) * c00 + a(0, 1) * c01 + a(0, 2) * c02;
    if (std::fabs(det) < 1e-30) return {1, 0, 0, 0, 1, 0, 0, 0, 1};
    const double cof[3][3] = {{c00, c01, c02},
                              {a(0, 2) * a(2, 1) - a(0, 1) * a(2, 2), a(0, 0) * a(2, 2) - a(0, 2) * a(2, 0),
                               a(0, 1) * a(2, 0) - a(0, 0) * a(2, 1)},
                              {a(0, 1) * a(1, 2) - a(0, 2) * a(1, 1), a(0, 2) * a(1, 0) - a(0, 0) * a(1, 2),
                               a(0, 0) * a(1, 1) - a(0, 1) * a(1, 0)}};
    // inverse = adjugate / det = cofactorᵀ / det, so its transpose is cof / det.
    std::array<float, 9> r{};
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column) r[column * 3 + row] = static_cast<float>(cof[row][column] / det);
    return r;
}

}  // namespace gles2
