#pragma once
// The shader programs that stand in for the fixed-function pipeline: one
// per combination of what the texture units do, generated on first use.
#include <GLES2/gl2.h>

#include <cstdint>

namespace gles2 {

constexpr int unitCount = 4;

// What a unit does with its texture and where its coordinates come from.
enum EnvMode { EnvModulate = 0, EnvAdd = 1, EnvReplace = 2 };
enum GenMode { GenNone = 0, GenSphere = 1, GenEyeLinear = 2, GenObjectLinear = 3 };

// Vertex attribute slots, fixed for every program: position, normal, then
// the coordinates of units 0 to 3.
constexpr GLuint attribPosition = 0;
constexpr GLuint attribNormal = 1;
constexpr GLuint attribTexCoord0 = 2;

struct Program {
    GLuint id = 0;
    GLint modelViewProjection = -1, modelView = -1, normals = -1, color = -1;
    GLint samplers[unitCount] = {-1, -1, -1, -1};
};

// Per unit five bits: 0 when it does not texture, else 1 + env + 3 * gen.
using ProgramKey = uint32_t;

inline ProgramKey unitKey(int unit, int env, int gen) {
    return static_cast<ProgramKey>(1 + env + 3 * gen) << (unit * 5);
}

// Compiles and links the program for key and leaves it in use; a shader
// that does not compile or link is reported as an error.
Program buildProgram(ProgramKey key);

}  // namespace gles2
