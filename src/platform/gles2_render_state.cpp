#include "platform/gles2_render_state.h"

#include <GLES2/gl2.h>

#include <algorithm>
#include <cstdio>
#include <unordered_map>
#include <vector>

#include "platform/gl_state_calls.h"
#include "platform/gl_state_shadow.h"
#include "platform/gles2_matrices.h"
#include "platform/gles2_shaders.h"
#include "platform/gles2_texture_upload.h"
#include "platform/gles2_vertex_stream.h"
#include "platform/report.h"
#include "platform/window.h"

using namespace gles2;

namespace {

const GlStateCalls shaderCalls = glStateCallsSelectingUnitsWith(glActiveTexture);

// What a unit does besides the texture bound on it (in the shadow).
struct TextureUnit {
    bool enabled = false;
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

// What the draws read that GL does not hold: the matrix stacks, the units'
// settings, the arrays and the colour.
struct DrawState {
    std::vector<Matrix> modelView{Matrix{}};
    std::vector<Matrix> projection{Matrix{}};
    bool projectionSelected = false;
    TextureUnit units[unitCount];
    ClientArray vertices, normals;
    float color[4] = {1, 1, 1, 1};
    const void* indices = nullptr;
    Component indexType = Component::UnsignedInt;
    int indexCount = 0;
};

}  // namespace

struct Gles2RenderState::State {
    explicit State(GlStateShadow& shadow) : shadow(shadow) {}

    GlStateShadow& shadow;  // the render state's own
    DrawState draws;
    std::unordered_map<uint32_t, TextureRecord> textures;
    // Programs and the stream buffer are this object's, freed with it.
    std::unordered_map<ProgramKey, Program> programs;
    GLuint programInUse = 0;
    bool programKnown = true;  // GL starts with no program in use
    VertexStream stream;
    std::vector<uint32_t> order;

    // What beginHiddenDraws and beginOutsideDraws keep for their ends.
    // Textures and programs made meanwhile stay.
    struct Kept {
        DrawState draws;
        SharedGlState shared;
    };
    Kept keptForHidden, keptForOutside;

    Matrix& current() { return draws.projectionSelected ? draws.projection.back() : draws.modelView.back(); }
    std::vector<Matrix>& currentStack() { return draws.projectionSelected ? draws.projection : draws.modelView; }
    int activeUnit() const { return shadow.applied.activeUnit; }

    // A unit textures when it is enabled with a complete texture bound, as
    // fixed-function GL skips a unit whose texture is incomplete.
    bool textures2D(int u) const {
        const TextureUnit& unit = draws.units[u];
        const uint32_t bound = shadow.applied.boundTexture[u];
        if (!unit.enabled || bound == 0) return false;
        auto it = textures.find(bound);
        if (it == textures.end()) return false;
        const TextureRecord& t = it->second;
        return t.width > 0 && t.height > 0 && (t.mipmapped || !t.minifiesWithMips);
    }

    void useProgram(GLuint id) {
        if (programKnown && programInUse == id) return;
        glUseProgram(id);
        programInUse = id;
        programKnown = true;
    }

    void draw(const std::vector<uint32_t>& vertexOrder);

    // A draw reads only the arrays set since the previous draw.
    void prepareArrays() {
        for (ClientArray* array : {&draws.vertices, &draws.normals, &draws.units[0].texCoords,
                                   &draws.units[1].texCoords, &draws.units[2].texCoords, &draws.units[3].texCoords}) {
            array->enabled = array->enabled && array->setForDraw;
            array->setForDraw = false;
        }
    }
};

Gles2RenderState::Gles2RenderState() : ShadowedRenderState(shaderCalls), state(std::make_unique<State>(shadow)) {}

Gles2RenderState::~Gles2RenderState() {
    // Without its context GL has taken them already.
    if (!hasCurrentGLContext()) return;
    // A program in use would only be marked for deletion.
    glUseProgram(0);
    for (const auto& [key, program] : state->programs) glDeleteProgram(program.id);
    releaseVertexStream(state->stream);
}

void Gles2RenderState::forceStartingState() {
    applyGlState(shadow, SharedGlState{}, true);
    state->programKnown = false;
    state->stream.bindingKnown = false;
}

void Gles2RenderState::setMatrixMode(MatrixMode mode) {
    if (mode == MatrixModelView) state->draws.projectionSelected = false;
    if (mode == MatrixProjection) state->draws.projectionSelected = true;
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
    state->draws.projectionSelected = true;
    state->current() = perspectiveMatrix(fovY, aspect, zNear, zFar);
}

void Gles2RenderState::setViewport(int x, int y, int width, int height) { glViewport(x, y, width, height); }

void Gles2RenderState::setOrtho2D(float left, float right, float bottom, float top) {
    state->draws.projectionSelected = true;
    state->current() = Matrix{};
    if (left == right || bottom == top) return;
    state->current() = orthoMatrix(left, right, bottom, top, -1.0, 1.0);
}

void Gles2RenderState::ortho(float left, float right, float bottom, float top, float zNear, float zFar) {
    if (left == right || bottom == top || zNear == zFar) return;
    state->current() = state->current() * orthoMatrix(left, right, bottom, top, zNear, zFar);
}

void Gles2RenderState::translate(float x, float y, float z) {
    state->current() = state->current() * translationMatrix(x, y, z);
}

void Gles2RenderState::rotate(float angle, float x, float y, float z) {
    if (const std::optional<Matrix> rotation = rotationMatrix(angle, x, y, z))
        state->current() = state->current() * *rotation;
}

void Gles2RenderState::scale(float x, float y, float z) {
    state->current() = state->current() * scalingMatrix(x, y, z);
}

void Gles2RenderState::setTexGen(TexGenMode mode) {
    TextureUnit& unit = state->draws.units[state->activeUnit()];
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

void Gles2RenderState::disableTexGen() { state->draws.units[state->activeUnit()].genEnabled = false; }

void Gles2RenderState::setTexEnv(TexEnvMode mode) {
    TextureUnit& unit = state->draws.units[state->activeUnit()];
    if (mode == TexEnvAdd)
        unit.env = EnvAdd;
    else if (mode == TexEnvModulate)
        unit.env = EnvModulate;
    else if (mode == TexEnvReplace)
        unit.env = EnvReplace;
}

// No effect lights its geometry, and without lights the fixed pipeline's
// lighting gives only the ambient term; the flag is not used.
void Gles2RenderState::enableLighting() {}
void Gles2RenderState::disableLighting() {}
// One colour for every vertex: flat and smooth shading look the same.
void Gles2RenderState::setSmoothShading() {}
void Gles2RenderState::setFlatShading() {}

void Gles2RenderState::selectTextureUnit(int unit) {
    claimGl();
    if (unit < 0 || unit >= unitCount) return;
    setActiveUnit(state->shadow, unit);
}

uint32_t Gles2RenderState::createTexture(int width, int height, const void* pixels, TextureWrap wrap,
                                         TextureFilter filterMode) {
    claimGl();
    const bool clamp = wrap != TextureWrapRepeat;
    GLuint name = 0;
    glGenTextures(1, &name);
    ::bindTexture(state->shadow, name);
    state->draws.units[state->activeUnit()].env = EnvAdd;

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
    if (mipmaps) QUARN_REPORT(Output, "building 2d mipmaps...\n");
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
    setPixelAlignment(state->shadow, state->shadow.applied.packAlignment, 1);
    uploadLevels(data, w, h, mipmaps);
    record.width = w;
    record.height = h;
    record.mipmapped = mipmaps;
    state->textures[name] = record;
    return name;
}

void Gles2RenderState::bindTexture(uint32_t name) {
    claimGl();
    state->draws.units[state->activeUnit()].enabled = true;
    ::bindTexture(state->shadow, name);
}

void Gles2RenderState::disableTextureUnit(int unit) {
    claimGl();
    selectTextureUnit(unit);
    if (unit >= 0 && unit < unitCount) state->draws.units[unit].enabled = false;
}

namespace {
void setArray(ClientArray& array, const void* data, int size, ElementType typeCode, int stride) {
    Component type = componentOf(typeCode);
    if (type == Component::None) return;
    array = ClientArray{data, std::clamp(size, 1, 4), type, std::max(stride, 0), true, true};
}
}  // namespace

void Gles2RenderState::setVertexArray(const void* data, int size, ElementType typeCode, int stride) {
    setArray(state->draws.vertices, data, size, typeCode, stride);
}

void Gles2RenderState::setNormalArray(const void* data, int, ElementType typeCode, int stride) {
    setArray(state->draws.normals, data, 3, typeCode, stride);
}

void Gles2RenderState::setTexCoordArray(const void* data, int size, ElementType typeCode, int stride) {
    setArray(state->draws.units[state->activeUnit()].texCoords, data, size, typeCode, stride);
}

void Gles2RenderState::setIndexArray(const void* newIndices, int count, ElementType typeCode) {
    Component type = componentOf(typeCode);
    DrawState& draws = state->draws;
    draws.indices = newIndices;
    draws.indexType = type == Component::None ? Component::UnsignedInt : type;
    draws.indexCount = type != Component::None && newIndices && count > 0 ? count : 0;
}

void Gles2RenderState::drawTriangles(int vertexCount) {
    claimGl();
    state->prepareArrays();
    if (vertexCount <= 0) return;
    state->order.resize(static_cast<size_t>(vertexCount));
    for (int i = 0; i < vertexCount; ++i) state->order[static_cast<size_t>(i)] = static_cast<uint32_t>(i);
    state->draw(state->order);
}

void Gles2RenderState::drawIndexedTriangles() {
    claimGl();
    // Only 32-bit unsigned indices are valid for an indexed draw in GL; the
    // other codes give an error there and draw nothing.
    const DrawState& draws = state->draws;
    if (draws.indexCount <= 0) return;
    state->prepareArrays();
    if (draws.indexType != Component::UnsignedInt) return;
    const auto* indices = static_cast<const uint32_t*>(draws.indices);
    state->order.assign(indices, indices + draws.indexCount);
    state->draw(state->order);
}

void Gles2RenderState::drawQuads(int vertexCount) {
    claimGl();
    state->prepareArrays();
    // Each quad a, b, c, d as the triangles a, b, c and a, c, d.
    std::vector<uint32_t>& order = state->order;
    order.clear();
    for (uint32_t q = 0; q + 4 <= static_cast<uint32_t>(std::max(vertexCount, 0)); q += 4)
        for (uint32_t corner : {0u, 1u, 2u, 0u, 2u, 3u}) order.push_back(q + corner);
    if (!order.empty()) state->draw(order);
}

void Gles2RenderState::setColor(float red, float green, float blue, float alpha) {
    float* color = state->draws.color;
    color[0] = red;
    color[1] = green;
    color[2] = blue;
    color[3] = alpha;
}

void Gles2RenderState::setTextureFilter(TextureFilter filter) {
    claimGl();
    const bool mips = setFilters(filter);
    auto it = state->textures.find(state->shadow.applied.boundTexture[state->activeUnit()]);
    if (it != state->textures.end()) it->second.minifiesWithMips = mips;
}

void Gles2RenderState::deleteTexture(uint32_t name) {
    if (name == 0 || !hasCurrentGLContext()) return;
    claimGl();
    const GLuint glName = name;
    glDeleteTextures(1, &glName);
    // GL unbinds it from every unit; a later texture may get the same name.
    state->textures.erase(name);
    forgetTexture(state->shadow, name);
    for (SharedGlState* kept : {&state->keptForHidden.shared, &state->keptForOutside.shared})
        for (uint32_t& bound : kept->boundTexture)
            if (bound == name) bound = 0;
}

void Gles2RenderState::State::draw(const std::vector<uint32_t>& vertexOrder) {
    if (!draws.vertices.enabled || draws.vertices.data == nullptr) return;
    ProgramKey key = 0;
    StreamSource source;
    source.vertices = &draws.vertices;
    for (int u = 0; u < unitCount; ++u) {
        if (!textures2D(u)) continue;
        const TextureUnit& unit = draws.units[u];
        const int gen = unit.genEnabled ? unit.genMode : GenNone;
        key |= unitKey(u, unit.env, gen);
        if (gen == GenSphere) source.normals = &draws.normals;
        if (gen != GenNone) continue;
        source.texCoords[source.texCoordCount] = &unit.texCoords;
        source.texCoordSlots[source.texCoordCount++] = attribTexCoord0 + static_cast<GLuint>(u);
    }
    auto found = programs.find(key);
    if (found == programs.end()) {
        found = programs.emplace(key, buildProgram(key)).first;
        // Building leaves the new program in use.
        programInUse = found->second.id;
        programKnown = true;
    }
    const Program& program = found->second;
    useProgram(program.id);

    streamVertices(stream, source, vertexOrder, attribPosition, attribNormal, attribTexCoord0 + unitCount);

    const Matrix& mv = draws.modelView.back();
    const Matrix mvp = draws.projection.back() * mv;
    glUniformMatrix4fv(program.modelViewProjection, 1, GL_FALSE, mvp.m.data());
    if (program.modelView >= 0) glUniformMatrix4fv(program.modelView, 1, GL_FALSE, mv.m.data());
    if (program.normals >= 0) glUniformMatrix3fv(program.normals, 1, GL_FALSE, normalMatrix(mv).data());
    glUniform4fv(program.color, 1, draws.color);
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(vertexOrder.size()));
}

void Gles2RenderState::beginHiddenDraws() {
    claimGl();
    state->keptForHidden = State::Kept{state->draws, state->shadow.applied};
    // One pixel is still written: the first frame clears it. The shaders
    // and the driver's code for each state are made as the frames need them.
    setScissor(state->shadow, true, 0, 0, 1, 1);
}

void Gles2RenderState::endHiddenDraws() {
    claimGl();
    // What was drawn out of sight is finished here, before the clock starts.
    glFinish();
    state->draws = state->keptForHidden.draws;
    applyGlState(state->shadow, state->keptForHidden.shared);
}

void Gles2RenderState::beginOutsideDraws() {
    claimGl();
    state->keptForOutside = State::Kept{state->draws, state->shadow.applied};
    SharedGlState plain = state->shadow.applied;
    plain.cullFace = plain.depthTest = plain.blend = plain.scissorTest = false;
    plain.activeUnit = 0;
    plain.packAlignment = plain.unpackAlignment = 1;
    applyGlState(state->shadow, plain);
}

void Gles2RenderState::endOutsideDraws() {
    claimGl();
    // Whatever that code changed is unknown: everything is set again.
    state->draws = state->keptForOutside.draws;
    applyGlState(state->shadow, state->keptForOutside.shared, true);
    state->programKnown = false;
    state->stream.bindingKnown = false;
}
