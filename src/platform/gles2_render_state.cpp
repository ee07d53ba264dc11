#include "platform/gles2_render_state.h"

#include <GLES2/gl2.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/window.h"

namespace {

constexpr int unitCount = 4;

// Column-major, as GL keeps its matrices.
struct Matrix {
    std::array<float, 16> m{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

    Matrix operator*(const Matrix& b) const {
        Matrix r;
        for (int column = 0; column < 4; ++column)
            for (int row = 0; row < 4; ++row) {
                float sum = 0.0f;
                for (int k = 0; k < 4; ++k) sum += m[k * 4 + row] * b.m[column * 4 + k];
                r.m[column * 4 + row] = sum;
            }
        return r;
    }
};

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

// The inverse transpose of the upper 3x3, which carries normals to eye space.
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

enum class Component { None, Float, Double, Int, Short, UnsignedInt };

Component componentOf(ElementType code) {
    switch (code) {
    case ElementFloat:
        return Component::Float;
    case ElementDouble:
        return Component::Double;
    case ElementInt:
        return Component::Int;
    case ElementShort:
        return Component::Short;
    case ElementUnsignedInt:
        return Component::UnsignedInt;
    default:
        return Component::None;
    }
}

int elementBytes(Component type) {
    switch (type) {
    case Component::Double:
        return 8;
    case Component::Short:
        return 2;
    case Component::None:
        return 0;
    default:
        return 4;
    }
}

struct ClientArray {
    const void* data = nullptr;
    int size = 4;
    Component type = Component::Float;
    int stride = 0;
    bool enabled = false;
    bool setForDraw = false;  // set since the previous draw

    // Client arrays need not be aligned, so each component is copied out.
    template <typename T>
    static float loadAs(const unsigned char* p) {
        T v;
        std::memcpy(&v, p, sizeof v);
        return static_cast<float>(v);
    }

    // Reads element `index` into out (up to `size` components).
    void read(uint32_t index, float* out) const {
        const int bytes = elementBytes(type);
        const int step = stride > 0 ? stride : size * bytes;
        const auto* p = static_cast<const unsigned char*>(data) + static_cast<size_t>(index) * step;
        for (int c = 0; c < size; ++c, p += bytes) {
            switch (type) {
            case Component::Float:
                out[c] = loadAs<float>(p);
                break;
            case Component::Double:
                out[c] = loadAs<double>(p);
                break;
            case Component::Int:
                out[c] = loadAs<int32_t>(p);
                break;
            case Component::Short:
                out[c] = loadAs<int16_t>(p);
                break;
            case Component::UnsignedInt:
                out[c] = loadAs<uint32_t>(p);
                break;
            case Component::None:
                out[c] = 0.0f;
                break;
            }
        }
    }
};

enum EnvMode { EnvModulate = 0, EnvAdd = 1, EnvReplace = 2 };
enum GenMode { GenNone = 0, GenSphere = 1, GenEyeLinear = 2, GenObjectLinear = 3 };

struct TextureUnit {
    bool enabled = false;
    uint32_t texture = 0;
    int env = EnvModulate;
    int genMode = GenEyeLinear;  // GL's default mode; off until enabled
    bool genEnabled = false;
    ClientArray texCoords;
};

struct TextureRecord {
    int width = 0, height = 0;
    bool mipmapped = false;         // every level was uploaded
    bool minifiesWithMips = false;  // the minification filter reads levels
};

bool isPowerOfTwo(int v) { return v > 0 && (v & (v - 1)) == 0; }

// The power of two a size is rounded to: halfway rounds up, like GLU does.
int nearestPowerOfTwo(int value) {
    int power = 1;
    while (power * 2 <= value) power *= 2;
    return value - power > power * 2 - value ? power * 2 : power;
}

// Box-filtered resampling: each target pixel averages the source pixels its
// area covers.
std::vector<uint8_t> resample(const uint8_t* pixels, int w, int h, int nw, int nh) {
    std::vector<uint8_t> out(static_cast<size_t>(nw) * nh * 4);
    for (int y = 0; y < nh; ++y) {
        const int y0 = y * h / nh, y1 = std::max(y0 + 1, (y + 1) * h / nh);
        for (int x = 0; x < nw; ++x) {
            const int x0 = x * w / nw, x1 = std::max(x0 + 1, (x + 1) * w / nw);
            unsigned sum[4] = {0, 0, 0, 0};
            for (int sy = y0; sy < y1; ++sy)
                for (int sx = x0; sx < x1; ++sx)
                    for (int c = 0; c < 4; ++c) sum[c] += pixels[(static_cast<size_t>(sy) * w + sx) * 4 + c];
            const unsigned n = static_cast<unsigned>((y1 - y0) * (x1 - x0));
            for (int c = 0; c < 4; ++c)
                out[(static_cast<size_t>(y) * nw + x) * 4 + c] = static_cast<uint8_t>((sum[c] + n / 2) / n);
        }
    }
    return out;
}

// Uploads level 0 and, when asked, every smaller level, each the 2x2 average
// of the one above.
void uploadLevels(const uint8_t* pixels, int w, int h, bool mipmaps) {
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    if (!mipmaps) return;
    std::vector<uint8_t> level(pixels, pixels + static_cast<size_t>(w) * h * 4), next;
    for (int lod = 1; w > 1 || h > 1; ++lod) {
        const int nw = std::max(1, w / 2), nh = std::max(1, h / 2);
        next.assign(static_cast<size_t>(nw) * nh * 4, 0);
        for (int y = 0; y < nh; ++y)
            for (int x = 0; x < nw; ++x)
                for (int c = 0; c < 4; ++c) {
                    const int x0 = std::min(2 * x, w - 1), x1 = std::min(2 * x + 1, w - 1);
                    const int y0 = std::min(2 * y, h - 1), y1 = std::min(2 * y + 1, h - 1);
                    auto at = [&](int px, int py) { return level[(static_cast<size_t>(py) * w + px) * 4 + c]; };
                    next[(static_cast<size_t>(y) * nw + x) * 4 + c] =
                        static_cast<uint8_t>((at(x0, y0) + at(x1, y0) + at(x0, y1) + at(x1, y1) + 2) / 4);
                }
        level.swap(next);
        w = nw;
        h = nh;
        glTexImage2D(GL_TEXTURE_2D, lod, GL_RGBA, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, level.data());
    }
}

GLuint compileShader(GLenum kind, const std::string& source) {
    GLuint shader = glCreateShader(kind);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[1024] = "";
        glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        std::fprintf(stderr, "shader does not compile: %s\n", log);
    }
    return shader;
}

// Vertex attribute slots, fixed for every program.
constexpr GLuint attribPosition = 0;
constexpr GLuint attribNormal = 1;
constexpr GLuint attribTexCoord0 = 2;

struct Program {
    GLuint id = 0;
    GLint modelViewProjection = -1, modelView = -1, normals = -1, color = -1;
    GLint samplers[unitCount] = {-1, -1, -1, -1};
};

// Per unit: 0 when it does not texture, else 1 + env + 3 * generation mode.
using ProgramKey = uint32_t;

int unitCode(ProgramKey key, int unit) { return static_cast<int>((key >> (unit * 5)) & 31u); }

Program buildProgram(ProgramKey key) {
    std::string vs =
        "#version 100\n"
        "attribute vec4 aPosition;\nattribute vec3 aNormal;\n"
        "uniform mat4 uModelViewProjection;\nuniform mat4 uModelView;\nuniform mat3 uNormals;\n";
    std::string fs =
        "#version 100\n"
        "#ifdef GL_FRAGMENT_PRECISION_HIGH\nprecision highp float;\n#else\nprecision mediump float;\n#endif\n"
        "uniform vec4 uColor;\n";
    std::string vsMain = "void main() {\n    gl_Position = uModelViewProjection * aPosition;\n";
    std::string fsMain = "void main() {\n    vec4 c = clamp(uColor, 0.0, 1.0);\n    vec4 t;\n";
    bool sphere = false;
    for (int u = 0; u < unitCount; ++u) {
        const int code = unitCode(key, u);
        if (code == 0) continue;
        const int env = (code - 1) % 3, gen = (code - 1) / 3;
        const std::string n = std::to_string(u);
        vs += "varying vec2 vTex" + n + ";\n";
        fs += "varying vec2 vTex" + n + ";\nuniform sampler2D uTexture" + n + ";\n";
        if (gen == GenSphere) {
            sphere = true;
            vsMain += "    vTex" + n + " = sphereMap;\n";
        } else if (gen == GenEyeLinear) {
            vsMain += "    vTex" + n + " = (uModelView * aPosition).xy;\n";
        } else if (gen == GenObjectLinear) {
            vsMain += "    vTex" + n + " = aPosition.xy;\n";
        } else {
            vs += "attribute vec2 aTexCoord" + n + ";\n";
            vsMain += "    vTex" + n + " = aTexCoord" + n + ";\n";
        }
        fsMain += "    t = texture2D(uTexture" + n + ", vTex" + n + ");\n";
        if (env == EnvModulate)
            fsMain += "    c = c * t;\n";
        else if (env == EnvAdd)
            fsMain += "    c = vec4(min(c.rgb + t.rgb, 1.0), c.a * t.a);\n";
        else
            fsMain += "    c = t;\n";
    }
    if (sphere) {
        // The reflection of the eye ray about the (unnormalised) eye-space
        // normal, mapped into the unit circle.
        vsMain.insert(vsMain.find('\n') + 1,
                      "    vec3 u = normalize((uModelView * aPosition).xyz);\n"
                      "    vec3 n = uNormals * aNormal;\n"
                      "    vec3 r = u - 2.0 * n * dot(n, u);\n"
                      "    float m = 2.0 * sqrt(r.x * r.x + r.y * r.y + (r.z + 1.0) * (r.z + 1.0));\n"
                      "    vec2 sphereMap = r.xy / m + 0.5;\n");
    }
    vs += vsMain + "}\n";
    fs += fsMain + "    gl_FragColor = c;\n}\n";

    Program p;
    p.id = glCreateProgram();
    GLuint v = compileShader(GL_VERTEX_SHADER, vs), f = compileShader(GL_FRAGMENT_SHADER, fs);
    glAttachShader(p.id, v);
    glAttachShader(p.id, f);
    glBindAttribLocation(p.id, attribPosition, "aPosition");
    glBindAttribLocation(p.id, attribNormal, "aNormal");
    for (int u = 0; u < unitCount; ++u)
        glBindAttribLocation(p.id, attribTexCoord0 + u, ("aTexCoord" + std::to_string(u)).c_str());
    glLinkProgram(p.id);
    glDeleteShader(v);
    glDeleteShader(f);
    GLint ok = 0;
    glGetProgramiv(p.id, GL_LINK_STATUS, &ok);
    if (!ok) {
        char log[1024] = "";
        glGetProgramInfoLog(p.id, sizeof log, nullptr, log);
        std::fprintf(stderr, "shader program does not link: %s\n", log);
    }
    glUseProgram(p.id);
    p.modelViewProjection = glGetUniformLocation(p.id, "uModelViewProjection");
    p.modelView = glGetUniformLocation(p.id, "uModelView");
    p.normals = glGetUniformLocation(p.id, "uNormals");
    p.color = glGetUniformLocation(p.id, "uColor");
    for (int u = 0; u < unitCount; ++u) {
        p.samplers[u] = glGetUniformLocation(p.id, ("uTexture" + std::to_string(u)).c_str());
        if (p.samplers[u] >= 0) glUniform1i(p.samplers[u], u);
    }
    return p;
}

// The filters of the bound texture for a filter mode; true when the
// minification filter reads mipmap levels.
bool setFilters(TextureFilter filterMode) {
    GLint magnification = GL_LINEAR, minification = GL_LINEAR_MIPMAP_LINEAR;
    if (filterMode == TextureFilterNearest) {
        magnification = GL_NEAREST;
        minification = GL_NEAREST;
    } else if (filterMode == TextureFilterLinear) {
        minification = GL_LINEAR;
    } else if (filterMode == TextureFilterNearestMipmapped) {
        magnification = GL_NEAREST;
        minification = GL_NEAREST_MIPMAP_LINEAR;
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magnification);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minification);
    return minification != GL_LINEAR && minification != GL_NEAREST;
}

}  // namespace

struct Gles2RenderState::State {
    std::vector<Matrix> modelView{Matrix{}};
    std::vector<Matrix> projection{Matrix{}};
    bool projectionSelected = false;
    int activeUnit = 0;
    TextureUnit units[unitCount];
    ClientArray vertices, normals;
    float color[4] = {1, 1, 1, 1};
    std::unordered_map<uint32_t, TextureRecord> textures;
    std::unordered_map<ProgramKey, Program> programs;
    const void* indices = nullptr;
    Component indexType = Component::UnsignedInt;
    int indexCount = 0;
    GLuint buffer = 0;
    std::vector<float> streamed;
    std::vector<uint32_t> order;

    // What beginHiddenDraws keeps for endHiddenDraws: the bookkeeping a
    // draw reads and the GL state this class sets. Textures and programs
    // made meanwhile stay.
    struct Kept {
        std::vector<Matrix> modelView, projection;
        bool projectionSelected = false;
        int activeUnit = 0;
        TextureUnit units[unitCount];
        ClientArray vertices, normals;
        float color[4] = {};
        const void* indices = nullptr;
        Component indexType = Component::UnsignedInt;
        int indexCount = 0;
        GLboolean cull = GL_FALSE, depthTest = GL_FALSE, blend = GL_FALSE, scissor = GL_FALSE;
        GLboolean depthWrite = GL_TRUE;
        GLint blendSource = GL_ONE, blendDestination = GL_ZERO, glActiveUnit = GL_TEXTURE0;
        GLint scissorBox[4] = {};
        GLint bound[unitCount] = {};
        GLfloat clearColor[4] = {};
    } kept;

    Matrix& current() { return projectionSelected ? projection.back() : modelView.back(); }
    std::vector<Matrix>& currentStack() { return projectionSelected ? projection : modelView; }

    // A unit textures when it is enabled with a complete texture bound, as
    // fixed-function GL skips a unit whose texture is incomplete.
    bool textures2D(int u) const {
        const TextureUnit& unit = units[u];
        if (!unit.enabled || unit.texture == 0) return false;
        auto it = textures.find(unit.texture);
        if (it == textures.end()) return false;
        const TextureRecord& t = it->second;
        return t.width > 0 && t.height > 0 && (t.mipmapped || !t.minifiesWithMips);
    }

    void draw(const std::vector<uint32_t>& vertexOrder);

    // A draw reads only the arrays set since the previous draw.
    void prepareArrays() {
        for (ClientArray* array : {&vertices, &normals, &units[0].texCoords, &units[1].texCoords, &units[2].texCoords,
                                   &units[3].texCoords}) {
            array->enabled = array->enabled && array->setForDraw;
            array->setForDraw = false;
        }
    }
};

Gles2RenderState::Gles2RenderState() : state(std::make_unique<State>()) {}
Gles2RenderState::~Gles2RenderState() = default;

void Gles2RenderState::setClearColor(Color color) { glClearColor(color.r, color.g, color.b, color.a); }

void Gles2RenderState::setMatrixMode(MatrixMode mode) {
    if (mode == MatrixModelView) state->projectionSelected = false;
    if (mode == MatrixProjection) state->projectionSelected = true;
}

void Gles2RenderState::loadIdentity() { state->current() = Matrix{}; }

void Gles2RenderState::pushMatrix() {
    auto& stack = state->currentStack();
    // Mesa's depth for both stacks; a push beyond changes nothing.
    if (stack.size() < 32u) stack.push_back(stack.back());
}

void Gles2RenderState::popMatrix() {
    auto& stack = state->currentStack();
    if (stack.size() > 1) stack.pop_back();
}

void Gles2RenderState::setPerspective(float fovY, float aspect, float zNear, float zFar) {
    state->projectionSelected = true;
    state->current() = Matrix{};
    const double radians = fovY / 2.0 * M_PI / 180.0;
    const double deltaZ = static_cast<double>(zFar) - zNear;
    const double sine = std::sin(radians);
    if (deltaZ == 0 || sine == 0 || aspect == 0) return;
    const double cotangent = std::cos(radians) / sine;
    state->current() = fromRows({static_cast<float>(cotangent / aspect), 0, 0, 0, 0, static_cast<float>(cotangent), 0,
                                 0, 0, 0, static_cast<float>(-(static_cast<double>(zFar) + zNear) / deltaZ),
                                 static_cast<float>(-2.0 * zNear * zFar / deltaZ), 0, 0, -1, 0});
}

void Gles2RenderState::setViewport(int x, int y, int width, int height) { glViewport(x, y, width, height); }

void Gles2RenderState::setOrtho2D(float left, float right, float bottom, float top) {
    state->projectionSelected = true;
    state->current() = Matrix{};
    if (left == right || bottom == top) return;
    state->current() = orthoMatrix(left, right, bottom, top, -1.0, 1.0);
}

void Gles2RenderState::ortho(float left, float right, float bottom, float top, float zNear, float zFar) {
    if (left == right || bottom == top || zNear == zFar) return;
    state->current() = state->current() * orthoMatrix(left, right, bottom, top, zNear, zFar);
}

void Gles2RenderState::translate(float x, float y, float z) {
    state->current() = state->current() * fromRows({1, 0, 0, x, 0, 1, 0, y, 0, 0, 1, z, 0, 0, 0, 1});
}

void Gles2RenderState::rotate(float angle, float x, float y, float z) {
    const float length = std::sqrt(x * x + y * y + z * z);
    if (length == 0.0f) return;
    x /= length;
    y /= length;
    z /= length;
    const float radians = angle * static_cast<float>(M_PI) / 180.0f;
    const float c = std::cos(radians), s = std::sin(radians), k = 1.0f - c;
    state->current() =
        state->current() *
        fromRows({x * x * k + c, x * y * k - z * s, x * z * k + y * s, 0, y * x * k + z * s, y * y * k + c,
                  y * z * k - x * s, 0, x * z * k - y * s, y * z * k + x * s, z * z * k + c, 0, 0, 0, 0, 1});
}

void Gles2RenderState::scale(float x, float y, float z) {
    state->current() = state->current() * fromRows({x, 0, 0, 0, 0, y, 0, 0, 0, 0, z, 0, 0, 0, 0, 1});
}

void Gles2RenderState::clearDepthBuffer() { glClear(GL_DEPTH_BUFFER_BIT); }
void Gles2RenderState::clearColorBuffer() { glClear(GL_COLOR_BUFFER_BIT); }

void Gles2RenderState::setTexGen(TexGenMode mode) {
    TextureUnit& unit = state->units[state->activeUnit];
    if (mode == TexGenSphereMap)
        unit.genMode = GenSphere;
    else if (mode == TexGenEyeLinear)
        unit.genMode = GenEyeLinear;
    else if (mode == TexGenObjectLinear)
        unit.genMode = GenObjectLinear;
    else
        return;
    unit.genEnabled = true;
}

void Gles2RenderState::disableTexGen() { state->units[state->activeUnit].genEnabled = false; }

void Gles2RenderState::setTexEnv(TexEnvMode mode) {
    TextureUnit& unit = state->units[state->activeUnit];
    if (mode == TexEnvAdd)
        unit.env = EnvAdd;
    else if (mode == TexEnvModulate)
        unit.env = EnvModulate;
    else if (mode == TexEnvReplace)
        unit.env = EnvReplace;
}

void Gles2RenderState::enableCulling() { glEnable(GL_CULL_FACE); }
void Gles2RenderState::disableCulling() { glDisable(GL_CULL_FACE); }
void Gles2RenderState::enableDepthTest() { glEnable(GL_DEPTH_TEST); }
void Gles2RenderState::disableDepthTest() { glDisable(GL_DEPTH_TEST); }
// No effect lights its geometry, and without lights the fixed pipeline's
// lighting gives only the ambient term; the flag is not used.
void Gles2RenderState::enableLighting() {}
void Gles2RenderState::disableLighting() {}
void Gles2RenderState::enableBlending() { glEnable(GL_BLEND); }
void Gles2RenderState::disableBlending() { glDisable(GL_BLEND); }
// One colour for every vertex: flat and smooth shading look the same.
void Gles2RenderState::setSmoothShading() {}
void Gles2RenderState::setFlatShading() {}

void Gles2RenderState::selectTextureUnit(int unit) {
    if (unit < 0 || unit >= unitCount) return;
    state->activeUnit = unit;
    glActiveTexture(GL_TEXTURE0 + unit);
}

uint32_t Gles2RenderState::createTexture(int width, int height, const void* pixels, TextureWrap wrap,
                                         TextureFilter filterMode) {
    const bool clamp = wrap != TextureWrapRepeat;
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    state->units[state->activeUnit].texture = name;
    state->units[state->activeUnit].env = EnvAdd;

    const bool filterReadsMips = setFilters(filterMode);
    const GLint glWrap = clamp ? GL_CLAMP_TO_EDGE : GL_REPEAT;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, glWrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, glWrap);

    TextureRecord record;
    record.minifiesWithMips = filterReadsMips;
    if (width <= 0 || height <= 0) {
        state->textures[name] = record;
        return name;
    }
    const bool mipmaps = (filterMode & 4) && pixels;
    if (mipmaps) std::printf("building 2d mipmaps...\n");
    // WebGL 1 repeats and mipmaps only power-of-two sizes: others are scaled
    // to the nearest, as the desktop's mipmap builder does.
    std::vector<uint8_t> scaled;
    const auto* data = static_cast<const uint8_t*>(pixels);
    int w = width, h = height;
    if (data && (!isPowerOfTwo(w) || !isPowerOfTwo(h)) && (mipmaps || !clamp)) {
        const int nw = nearestPowerOfTwo(w), nh = nearestPowerOfTwo(h);
        scaled = resample(data, w, h, nw, nh);
        data = scaled.data();
        w = nw;
        h = nh;
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    uploadLevels(data, w, h, mipmaps);
    record.width = w;
    record.height = h;
    record.mipmapped = mipmaps;
    state->textures[name] = record;
    return name;
}

void Gles2RenderState::bindTexture(uint32_t name) {
    TextureUnit& unit = state->units[state->activeUnit];
    unit.enabled = true;
    unit.texture = name;
    glBindTexture(GL_TEXTURE_2D, name);
}

void Gles2RenderState::disableTextureUnit(int unit) {
    selectTextureUnit(unit);
    if (unit >= 0 && unit < unitCount) state->units[unit].enabled = false;
}

void Gles2RenderState::setBlendFunc(BlendFactor sourceCode, BlendFactor destinationCode) {
    auto factor = [](BlendFactor code) -> GLenum {
        switch (code) {
        case BlendOne:
            return GL_ONE;
        case BlendOneMinusSrcAlpha:
            return GL_ONE_MINUS_SRC_ALPHA;
        case BlendSrcAlpha:
            return GL_SRC_ALPHA;
        default:
            return 0;
        }
    };
    GLenum source = factor(sourceCode), destination = factor(destinationCode);
    if (source && destination) glBlendFunc(source, destination);
}

namespace {
void setArray(ClientArray& array, const void* data, int size, ElementType typeCode, int stride) {
    Component type = componentOf(typeCode);
    if (type == Component::None) return;
    array = ClientArray{data, std::clamp(size, 1, 4), type, std::max(stride, 0), true, true};
}
}  // namespace

void Gles2RenderState::setVertexArray(const void* data, int size, ElementType typeCode, int stride) {
    setArray(state->vertices, data, size, typeCode, stride);
}

void Gles2RenderState::setNormalArray(const void* data, int, ElementType typeCode, int stride) {
    setArray(state->normals, data, 3, typeCode, stride);
}

void Gles2RenderState::setTexCoordArray(const void* data, int size, ElementType typeCode, int stride) {
    setArray(state->units[state->activeUnit].texCoords, data, size, typeCode, stride);
}

void Gles2RenderState::setIndexArray(const void* newIndices, int count, ElementType typeCode) {
    Component type = componentOf(typeCode);
    state->indices = newIndices;
    state->indexType = type == Component::None ? Component::UnsignedInt : type;
    state->indexCount = type != Component::None && newIndices && count > 0 ? count : 0;
}

void Gles2RenderState::drawTriangles(int vertexCount) {
    state->prepareArrays();
    if (vertexCount <= 0) return;
    state->order.resize(static_cast<size_t>(vertexCount));
    for (int i = 0; i < vertexCount; ++i) state->order[static_cast<size_t>(i)] = static_cast<uint32_t>(i);
    state->draw(state->order);
}

void Gles2RenderState::drawIndexedTriangles() {
    // Only 32-bit unsigned indices are valid for an indexed draw in GL; the
    // other codes give an error there and draw nothing.
    if (state->indexCount <= 0) return;
    state->prepareArrays();
    if (state->indexType != Component::UnsignedInt) return;
    const auto* indices = static_cast<const uint32_t*>(state->indices);
    state->order.assign(indices, indices + state->indexCount);
    state->draw(state->order);
}

void Gles2RenderState::drawQuads(int vertexCount) {
    state->prepareArrays();
    // Each quad a, b, c, d as the triangles a, b, c and a, c, d.
    std::vector<uint32_t>& order = state->order;
    order.clear();
    for (uint32_t q = 0; q + 4 <= static_cast<uint32_t>(std::max(vertexCount, 0)); q += 4)
        for (uint32_t corner : {0u, 1u, 2u, 0u, 2u, 3u}) order.push_back(q + corner);
    if (!order.empty()) state->draw(order);
}

void Gles2RenderState::setColor(float red, float green, float blue, float alpha) {
    state->color[0] = red;
    state->color[1] = green;
    state->color[2] = blue;
    state->color[3] = alpha;
}

void Gles2RenderState::enableDepthWrite() { glDepthMask(GL_TRUE); }
void Gles2RenderState::disableDepthWrite() { glDepthMask(GL_FALSE); }

void Gles2RenderState::setTextureFilter(TextureFilter filter) {
    const bool mips = setFilters(filter);
    auto it = state->textures.find(state->units[state->activeUnit].texture);
    if (it != state->textures.end()) it->second.minifiesWithMips = mips;
}

void Gles2RenderState::deleteTexture(uint32_t name) {
    if (name == 0 || !hasCurrentGLContext()) return;
    const GLuint glName = name;
    glDeleteTextures(1, &glName);
    // GL unbinds it from every unit; a later texture may get the same name.
    state->textures.erase(name);
    for (TextureUnit& unit : state->units)
        if (unit.texture == name) unit.texture = 0;
}

void Gles2RenderState::State::draw(const std::vector<uint32_t>& vertexOrder) {
    if (!vertices.enabled || vertices.data == nullptr) return;
    ProgramKey key = 0;
    bool needNormals = false;
    int texCoordUnits[unitCount];
    int texCoordUnitCount = 0;
    for (int u = 0; u < unitCount; ++u) {
        if (!textures2D(u)) continue;
        const int gen = units[u].genEnabled ? units[u].genMode : GenNone;
        key |= static_cast<ProgramKey>(1 + units[u].env + 3 * gen) << (u * 5);
        if (gen == GenSphere) needNormals = true;
        if (gen == GenNone) texCoordUnits[texCoordUnitCount++] = u;
    }
    auto found = programs.find(key);
    if (found == programs.end()) found = programs.emplace(key, buildProgram(key)).first;
    const Program& program = found->second;
    glUseProgram(program.id);

    // Interleaved: position (4), normal (3) when needed, then two per unit
    // with coordinates.
    const int floatsPerVertex = 4 + (needNormals ? 3 : 0) + 2 * texCoordUnitCount;
    streamed.resize(vertexOrder.size() * static_cast<size_t>(floatsPerVertex));
    float* out = streamed.data();
    for (uint32_t index : vertexOrder) {
        float position[4] = {0, 0, 0, 1};
        vertices.read(index, position);
        std::memcpy(out, position, sizeof position);
        out += 4;
        if (needNormals) {
            float normal[3] = {0, 0, 1};
            if (normals.enabled && normals.data) normals.read(index, normal);
            std::memcpy(out, normal, sizeof normal);
            out += 3;
        }
        for (int i = 0; i < texCoordUnitCount; ++i) {
            const ClientArray& coords = units[texCoordUnits[i]].texCoords;
            float st[4] = {0, 0, 0, 1};
            if (coords.enabled && coords.data) coords.read(index, st);
            out[0] = st[0];
            out[1] = st[1];
            out += 2;
        }
    }

    if (buffer == 0) glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(streamed.size() * sizeof(float)), streamed.data(),
                 GL_STREAM_DRAW);
    const GLsizei stride = floatsPerVertex * static_cast<GLsizei>(sizeof(float));
    auto offset = [](int floats) {
        return reinterpret_cast<const void*>(static_cast<uintptr_t>(floats) * sizeof(float));
    };
    glEnableVertexAttribArray(attribPosition);
    glVertexAttribPointer(attribPosition, 4, GL_FLOAT, GL_FALSE, stride, offset(0));
    int at = 4;
    if (needNormals) {
        glEnableVertexAttribArray(attribNormal);
        glVertexAttribPointer(attribNormal, 3, GL_FLOAT, GL_FALSE, stride, offset(at));
        at += 3;
    } else {
        glDisableVertexAttribArray(attribNormal);
    }
    bool used[unitCount] = {false, false, false, false};
    for (int i = 0; i < texCoordUnitCount; ++i) {
        const GLuint slot = attribTexCoord0 + static_cast<GLuint>(texCoordUnits[i]);
        glEnableVertexAttribArray(slot);
        glVertexAttribPointer(slot, 2, GL_FLOAT, GL_FALSE, stride, offset(at));
        used[texCoordUnits[i]] = true;
        at += 2;
    }
    for (int u = 0; u < unitCount; ++u)
        if (!used[u]) glDisableVertexAttribArray(attribTexCoord0 + static_cast<GLuint>(u));

    const Matrix& mv = modelView.back();
    const Matrix mvp = projection.back() * mv;
    glUniformMatrix4fv(program.modelViewProjection, 1, GL_FALSE, mvp.m.data());
    if (program.modelView >= 0) glUniformMatrix4fv(program.modelView, 1, GL_FALSE, mv.m.data());
    if (program.normals >= 0) glUniformMatrix3fv(program.normals, 1, GL_FALSE, normalMatrix(mv).data());
    glUniform4fv(program.color, 1, color);
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(vertexOrder.size()));
}

void Gles2RenderState::beginHiddenDraws() {
    State& s = *state;
    State::Kept& k = s.kept;
    k.modelView = s.modelView;
    k.projection = s.projection;
    k.projectionSelected = s.projectionSelected;
    k.activeUnit = s.activeUnit;
    std::copy(std::begin(s.units), std::end(s.units), std::begin(k.units));
    k.vertices = s.vertices;
    k.normals = s.normals;
    std::copy(std::begin(s.color), std::end(s.color), std::begin(k.color));
    k.indices = s.indices;
    k.indexType = s.indexType;
    k.indexCount = s.indexCount;
    k.cull = glIsEnabled(GL_CULL_FACE);
    k.depthTest = glIsEnabled(GL_DEPTH_TEST);
    k.blend = glIsEnabled(GL_BLEND);
    k.scissor = glIsEnabled(GL_SCISSOR_TEST);
    glGetBooleanv(GL_DEPTH_WRITEMASK, &k.depthWrite);
    glGetIntegerv(GL_BLEND_SRC_RGB, &k.blendSource);
    glGetIntegerv(GL_BLEND_DST_RGB, &k.blendDestination);
    glGetIntegerv(GL_SCISSOR_BOX, k.scissorBox);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, k.clearColor);
    glGetIntegerv(GL_ACTIVE_TEXTURE, &k.glActiveUnit);
    for (int u = 0; u < unitCount; ++u) {
        glActiveTexture(GL_TEXTURE0 + u);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &k.bound[u]);
    }
    glActiveTexture(static_cast<GLenum>(k.glActiveUnit));
    // One pixel is still written: the first frame clears it. The shaders
    // and the driver's code for each state are made as the frames need them.
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 1, 1);
}

void Gles2RenderState::endHiddenDraws() {
    // What was drawn out of sight is finished here, before the clock starts.
    glFinish();
    State& s = *state;
    State::Kept& k = s.kept;
    s.modelView = k.modelView;
    s.projection = k.projection;
    s.projectionSelected = k.projectionSelected;
    s.activeUnit = k.activeUnit;
    std::copy(std::begin(k.units), std::end(k.units), std::begin(s.units));
    s.vertices = k.vertices;
    s.normals = k.normals;
    std::copy(std::begin(k.color), std::end(k.color), std::begin(s.color));
    s.indices = k.indices;
    s.indexType = k.indexType;
    s.indexCount = k.indexCount;
    auto enable = [](GLenum capability, GLboolean on) { on ? glEnable(capability) : glDisable(capability); };
    enable(GL_CULL_FACE, k.cull);
    enable(GL_DEPTH_TEST, k.depthTest);
    enable(GL_BLEND, k.blend);
    enable(GL_SCISSOR_TEST, k.scissor);
    glDepthMask(k.depthWrite);
    glBlendFunc(static_cast<GLenum>(k.blendSource), static_cast<GLenum>(k.blendDestination));
    glScissor(k.scissorBox[0], k.scissorBox[1], k.scissorBox[2], k.scissorBox[3]);
    glClearColor(k.clearColor[0], k.clearColor[1], k.clearColor[2], k.clearColor[3]);
    for (int u = 0; u < unitCount; ++u) {
        glActiveTexture(GL_TEXTURE0 + u);
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(k.bound[u]));
    }
    glActiveTexture(static_cast<GLenum>(k.glActiveUnit));
}
