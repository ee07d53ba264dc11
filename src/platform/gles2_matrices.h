#pragma once
// The matrices the OpenGL ES 2 render state keeps in place of GL's stacks,
// computed as desktop GL and GLU compute theirs.
#include <array>
#include <initializer_list>
#include <optional>

namespace gles2 {

// Column-major, as GL keeps its matrices.
struct Matrix {
    std::array<float, 16> m{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

    Matrix operator*(const Matrix& b) const;
};

// Sixteen values written row by row, as the GL manual prints them.
Matrix fromRows(std::initializer_list<float> rows);
Matrix orthoMatrix(double left, double right, double bottom, double top, double zNear, double zFar);
// gluPerspective's; the identity where GLU would leave the matrix alone.
Matrix perspectiveMatrix(float fovY, float aspect, float zNear, float zFar);
Matrix translationMatrix(float x, float y, float z);
// Nothing for a zero axis: the matrix is left as it is.
std::optional<Matrix> rotationMatrix(float angleDegrees, float x, float y, float z);
Matrix scalingMatrix(float x, float y, float z);
// The inverse transpose of the upper 3x3, which carries normals to eye space.
std::array<float, 9> normalMatrix(const Matrix& modelView);

}  // namespace gles2
