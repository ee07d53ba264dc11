#include "platform/gl_render_state.h"

#include <GL/glu.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "platform/extensions.h"
#include "platform/gl_state_calls.h"
#include "platform/report.h"
#include "platform/window.h"

namespace {

template <size_t N>
GLenum lookUp(const GLenum (&table)[N], int code) {
    return code >= 0 && static_cast<size_t>(code) < N ? table[code] : 0;
}

const GLenum blendFactors[] = {GL_ONE, GL_ONE_MINUS_SRC_ALPHA, GL_SRC_ALPHA};
const GLenum elementTypes[] = {GL_FLOAT, GL_DOUBLE, GL_INT, GL_SHORT, GL_UNSIGNED_INT};
const GLenum texGenModes[] = {GL_SPHERE_MAP, GL_EYE_LINEAR, GL_OBJECT_LINEAR};
const GLenum texEnvModes[] = {GL_ADD, GL_MODULATE, GL_REPLACE};
const GLenum matrixModes[] = {GL_MODELVIEW, GL_PROJECTION};

void setFilters(TextureFilter filterMode) {
    GLint magnification = GL_LINEAR;
    GLint minification = GL_LINEAR_MIPMAP_LINEAR;
    if (filterMode == 1) {
        magnification = GL_NEAREST;
        minification = GL_NEAREST;
    } else if (filterMode == 2) {
        minification = GL_LINEAR;
    } else if (filterMode == 5) {
        magnification = GL_NEAREST;
        minification = GL_NEAREST_MIPMAP_LINEAR;
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magnification);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minification);
}

}  // namespace

GLenum blendFactorFor(int code) { return lookUp(blendFactors, code); }
GLenum elementTypeFor(int code) { return lookUp(elementTypes, code); }
GLenum texGenModeFor(int code) { return lookUp(texGenModes, code); }
GLenum texEnvModeFor(int code) { return lookUp(texEnvModes, code); }
GLenum matrixModeFor(int code) { return lookUp(matrixModes, code); }

namespace {

void selectUnitIfPresent(uint32_t unit) {
    // Without the extension there is only unit 0, selected already.
    if (multitexture.glActiveTextureARB) multitexture.glActiveTextureARB(unit);
}

const GlStateCalls fixedFunctionCalls = glStateCallsSelectingUnitsWith(selectUnitIfPresent);

// Mesa's depth for both stacks; GL refuses a push beyond.
constexpr int matrixStackDepth = 32;

bool hasMultitexture() { return multitexture.glActiveTextureARB && multitexture.glClientActiveTextureARB; }

}  // namespace

GlRenderState::GlRenderState() : ShadowedRenderState(fixedFunctionCalls) {}

void GlRenderState::apply(SharedGlState shared, const FixedFunctionState& wanted, bool force) {
    FixedFunctionState& applied = fixedFunction;
    auto capability = [force](GLenum name, bool& is, bool want) {
        if (!force && is == want) return;
        want ? glEnable(name) : glDisable(name);
        is = want;
    };
    shadow.textureUnits = hasMultitexture() ? sharedTextureUnits : 1;
    if (force) {
        // The selected units are unknown as well: selecting is not skipped.
        shadow.applied.activeUnit = -1;
        applied.clientUnit = -1;
    }
    for (int u = 0; u < shadow.textureUnits; ++u) {
        Unit& is = applied.units[u];
        const Unit& want = wanted.units[u];
        if (force || is.texture2D != want.texture2D || is.texGen != want.texGen || is.texGenMode != want.texGenMode ||
            is.texEnv != want.texEnv) {
            setActiveUnit(shadow, u);
            capability(GL_TEXTURE_2D, is.texture2D, want.texture2D);
            if (force || is.texGenMode != want.texGenMode) {
                glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, want.texGenMode);
                glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, want.texGenMode);
                is.texGenMode = want.texGenMode;
            }
            if (force || is.texGen != want.texGen) {
                want.texGen ? glEnable(GL_TEXTURE_GEN_S) : glDisable(GL_TEXTURE_GEN_S);
                want.texGen ? glEnable(GL_TEXTURE_GEN_T) : glDisable(GL_TEXTURE_GEN_T);
                is.texGen = want.texGen;
            }
            if (force || is.texEnv != want.texEnv) {
                glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, want.texEnv);
                is.texEnv = want.texEnv;
            }
        }
        const unsigned bit = texCoordArrayBit(u);
        const bool enable = (wanted.enabledArrays & bit) != 0;
        if (force || ((applied.enabledArrays & bit) != 0) != enable || !(is.texCoords == want.texCoords)) {
            setClientUnit(u);
            if (force || !(is.texCoords == want.texCoords)) {
                glTexCoordPointer(want.texCoords.size, want.texCoords.type, want.texCoords.stride, want.texCoords.data);
                is.texCoords = want.texCoords;
            }
            setArrayEnabled(bit, enable, force);
        }
    }
    if (force || !(applied.vertices == wanted.vertices)) {
        glVertexPointer(wanted.vertices.size, wanted.vertices.type, wanted.vertices.stride, wanted.vertices.data);
        applied.vertices = wanted.vertices;
    }
    if (force || !(applied.normals == wanted.normals)) {
        glNormalPointer(wanted.normals.type, wanted.normals.stride, wanted.normals.data);
        applied.normals = wanted.normals;
    }
    setArrayEnabled(vertexArrayBit, (wanted.enabledArrays & vertexArrayBit) != 0, force);
    setArrayEnabled(normalArrayBit, (wanted.enabledArrays & normalArrayBit) != 0, force);
    if (hasMultitexture() && (force || applied.clientUnit != wanted.clientUnit)) {
        multitexture.glClientActiveTextureARB(GL_TEXTURE0_ARB + wanted.clientUnit);
        applied.clientUnit = wanted.clientUnit;
    }
    capability(GL_LIGHTING, applied.lighting, wanted.lighting);
    if (force || applied.shadeModel != wanted.shadeModel) {
        glShadeModel(wanted.shadeModel);
        applied.shadeModel = wanted.shadeModel;
    }
    if (force || std::memcmp(applied.color, wanted.color, sizeof wanted.color) != 0) {
        glColor4fv(wanted.color);
        std::memcpy(applied.color, wanted.color, sizeof wanted.color);
    }
    if (force || applied.matrixMode != wanted.matrixMode) {
        glMatrixMode(wanted.matrixMode);
        applied.matrixMode = wanted.matrixMode;
    }
    applyGlState(shadow, shared, force);
}

void GlRenderState::forceStartingState() { apply(SharedGlState{}, FixedFunctionState{}, true); }

void GlRenderState::setClientUnit(int unit) {
    if (fixedFunction.clientUnit == unit || !hasMultitexture()) return;
    multitexture.glClientActiveTextureARB(GL_TEXTURE0_ARB + unit);
    fixedFunction.clientUnit = unit;
}

void GlRenderState::setArrayEnabled(unsigned bit, bool on, bool force) {
    if (!force && ((fixedFunction.enabledArrays & bit) != 0) == on) return;
    GLenum array = GL_TEXTURE_COORD_ARRAY;
    if (bit == vertexArrayBit) array = GL_VERTEX_ARRAY;
    if (bit == normalArrayBit) array = GL_NORMAL_ARRAY;
    on ? glEnableClientState(array) : glDisableClientState(array);
    fixedFunction.enabledArrays = on ? fixedFunction.enabledArrays | bit : fixedFunction.enabledArrays & ~bit;
}

void GlRenderState::setUnitTexturing(bool on) {
    bool& texture2D = fixedFunction.units[shadow.applied.activeUnit].texture2D;
    if (texture2D == on) return;
    on ? glEnable(GL_TEXTURE_2D) : glDisable(GL_TEXTURE_2D);
    texture2D = on;
}

void GlRenderState::setMatrixMode(MatrixMode mode) {
    claimGl();
    const GLenum glMode = matrixModeFor(mode);
    if (!glMode || fixedFunction.matrixMode == glMode) return;
    glMatrixMode(glMode);
    fixedFunction.matrixMode = glMode;
}

void GlRenderState::loadIdentity() { glLoadIdentity(); }

void GlRenderState::pushMatrix() {
    int& depth = matrixDepth();
    // GL refuses a push beyond its depth and changes nothing.
    glPushMatrix();
    if (depth < matrixStackDepth) ++depth;
}

void GlRenderState::popMatrix() {
    int& depth = matrixDepth();
    const int floor = fixedFunction.matrixMode == GL_PROJECTION ? projectionFloor : modelViewFloor;
    // Below its floor GL would refuse the pop (at the bottom) or take a
    // matrix the hidden draws' caller keeps.
    if (depth <= floor) return;
    glPopMatrix();
    --depth;
}

void GlRenderState::setPerspective(float fovY, float aspect, float zNear, float zFar) {
    claimGl();
    setMatrixMode(MatrixProjection);
    glLoadIdentity();
    gluPerspective(fovY, aspect, zNear, zFar);
}

void GlRenderState::setOrtho2D(float left, float right, float bottom, float top) {
    claimGl();
    setMatrixMode(MatrixProjection);
    glLoadIdentity();
    gluOrtho2D(left, right, bottom, top);
}

void GlRenderState::setViewport(int x, int y, int width, int height) { glViewport(x, y, width, height); }

void GlRenderState::ortho(float left, float right, float bottom, float top, float zNear, float zFar) {
    glOrtho(left, right, bottom, top, zNear, zFar);
}

void GlRenderState::translate(float x, float y, float z) { glTranslatef(x, y, z); }
void GlRenderState::rotate(float angle, float x, float y, float z) { glRotatef(angle, x, y, z); }
void GlRenderState::scale(float x, float y, float z) { glScalef(x, y, z); }

void GlRenderState::setTexGen(TexGenMode mode) {
    claimGl();
    const GLenum glMode = texGenModeFor(mode);
    if (!glMode) return;
    FixedFunctionState wanted = fixedFunction;
    Unit& unit = wanted.units[shadow.applied.activeUnit];
    unit.texGenMode = glMode;
    unit.texGen = true;
    apply(shadow.applied, wanted, false);
}

void GlRenderState::disableTexGen() {
    claimGl();
    FixedFunctionState wanted = fixedFunction;
    wanted.units[shadow.applied.activeUnit].texGen = false;
    apply(shadow.applied, wanted, false);
}

void GlRenderState::setTexEnv(TexEnvMode mode) {
    claimGl();
    const GLenum glMode = texEnvModeFor(mode);
    GLenum& env = fixedFunction.units[shadow.applied.activeUnit].texEnv;
    if (!glMode || env == glMode) return;
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, glMode);
    env = glMode;
}

void GlRenderState::enableLighting() {
    claimGl();
    if (fixedFunction.lighting) return;
    glEnable(GL_LIGHTING);
    fixedFunction.lighting = true;
}

void GlRenderState::disableLighting() {
    claimGl();
    if (!fixedFunction.lighting) return;
    glDisable(GL_LIGHTING);
    fixedFunction.lighting = false;
}

void GlRenderState::setSmoothShading() {
    claimGl();
    if (fixedFunction.shadeModel == GL_SMOOTH) return;
    glShadeModel(GL_SMOOTH);
    fixedFunction.shadeModel = GL_SMOOTH;
}

void GlRenderState::setFlatShading() {
    claimGl();
    if (fixedFunction.shadeModel == GL_FLAT) return;
    glShadeModel(GL_FLAT);
    fixedFunction.shadeModel = GL_FLAT;
}

void GlRenderState::setColor(float red, float green, float blue, float alpha) {
    claimGl();
    const GLfloat color[4] = {red, green, blue, alpha};
    if (std::memcmp(fixedFunction.color, color, sizeof color) == 0) return;
    glColor4fv(color);
    std::memcpy(fixedFunction.color, color, sizeof color);
}

void GlRenderState::selectTextureUnit(int unit) {
    claimGl();
    if (unit < 0 || unit > 3) return;
    // Without the extension there is only unit 0 to select.
    if (!hasMultitexture()) return;
    setActiveUnit(shadow, unit);
    setClientUnit(unit);
}

uint32_t GlRenderState::createTexture(int width, int height, const void* pixels, TextureWrap wrap,
                                      TextureFilter filterMode) {
    claimGl();
    GLuint name = 0;
    glGenTextures(1, &name);
    ::bindTexture(shadow, name);
    setFilters(filterMode);
    const GLint glWrap = wrap != TextureWrapRepeat ? GL_CLAMP : GL_REPEAT;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, glWrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, glWrap);
    setTexEnv(TexEnvAdd);
    // gluBuild2DMipmaps reads the pixels even where glTexImage2D would not.
    if ((filterMode & 4) && pixels) {
        QUARN_REPORT(Output, "building 2d mipmaps...\n");
        gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA8, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    } else {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    }
    return name;
}

void GlRenderState::setTextureFilter(TextureFilter filter) {
    claimGl();
    setFilters(filter);
}

void GlRenderState::deleteTexture(uint32_t name) {
    if (name == 0 || !hasCurrentGLContext()) return;
    claimGl();
    const GLuint glName = name;
    glDeleteTextures(1, &glName);
    forgetTexture(shadow, name);
    for (SharedGlState* kept : {&keptForHidden.shared, &keptForOutside.shared})
        for (uint32_t& bound : kept->boundTexture)
            if (bound == name) bound = 0;
}

void GlRenderState::bindTexture(uint32_t name) {
    claimGl();
    setUnitTexturing(true);
    ::bindTexture(shadow, name);
}

void GlRenderState::disableTextureUnit(int unit) {
    claimGl();
    selectTextureUnit(unit);
    setUnitTexturing(false);
}

void GlRenderState::setVertexArray(const void* data, int size, ElementType typeCode, int stride) {
    claimGl();
    GLenum type = elementTypeFor(typeCode);
    if (!type) return;
    setArrayEnabled(vertexArrayBit, true);
    record.arraysSet |= vertexArrayBit;
    const ArrayPointer pointer{data, size, type, stride};
    if (fixedFunction.vertices == pointer) return;
    glVertexPointer(size, type, stride, data);
    fixedFunction.vertices = pointer;
}

void GlRenderState::setNormalArray(const void* data, int, ElementType typeCode, int stride) {
    claimGl();
    GLenum type = elementTypeFor(typeCode);
    if (!type) return;
    setArrayEnabled(normalArrayBit, true);
    record.arraysSet |= normalArrayBit;
    const ArrayPointer pointer{data, 3, type, stride};
    if (fixedFunction.normals == pointer) return;
    glNormalPointer(type, stride, data);
    fixedFunction.normals = pointer;
}

void GlRenderState::setTexCoordArray(const void* data, int size, ElementType typeCode, int stride) {
    claimGl();
    GLenum type = elementTypeFor(typeCode);
    if (!type) return;
    const int unit = fixedFunction.clientUnit;
    setArrayEnabled(texCoordArrayBit(unit), true);
    record.arraysSet |= texCoordArrayBit(unit);
    const ArrayPointer pointer{data, size, type, stride};
    if (fixedFunction.units[unit].texCoords == pointer) return;
    glTexCoordPointer(size, type, stride, data);
    fixedFunction.units[unit].texCoords = pointer;
}

void GlRenderState::setIndexArray(const void* newIndices, int count, ElementType typeCode) {
    GLenum type = elementTypeFor(typeCode);
    // An unknown type draws nothing rather than misreading the indices.
    record.indices = newIndices;
    record.indexType = type ? type : GL_UNSIGNED_INT;
    record.indexCount = type && newIndices && count > 0 ? count : 0;
}

void GlRenderState::prepareArrayDraw() {
    const unsigned stale = fixedFunction.enabledArrays & ~record.arraysSet;
    if (stale) {
        FixedFunctionState wanted = fixedFunction;
        wanted.enabledArrays &= ~stale;
        apply(shadow.applied, wanted, false);
    }
    record.arraysSet = 0;
}

void GlRenderState::drawTriangles(int vertexCount) {
    claimGl();
    prepareArrayDraw();
    glDrawArrays(GL_TRIANGLES, 0, vertexCount);
}

void GlRenderState::drawIndexedTriangles() {
    claimGl();
    if (record.indexCount <= 0) return;
    prepareArrayDraw();
    glDrawElements(GL_TRIANGLES, record.indexCount, record.indexType, record.indices);
}

void GlRenderState::drawQuads(int vertexCount) {
    claimGl();
    prepareArrayDraw();
    glDrawArrays(GL_QUADS, 0, vertexCount);
}

GlRenderState::Kept GlRenderState::keep() const {
    return Kept{shadow.applied, fixedFunction, record, modelViewDepth, projectionDepth};
}

void GlRenderState::popTo(GLenum mode, int& depth, int target) {
    if (depth <= target) return;
    if (fixedFunction.matrixMode != mode) {
        glMatrixMode(mode);
        fixedFunction.matrixMode = mode;
    }
    for (; depth > target; --depth) glPopMatrix();
}

void GlRenderState::beginHiddenDraws() {
    claimGl();
    keptForHidden = keep();
    // Each matrix is kept on its own stack, one above what the draws may pop.
    const GLenum mode = fixedFunction.matrixMode;
    for (GLenum stack : {GL_PROJECTION, GL_MODELVIEW}) {
        if (fixedFunction.matrixMode != stack) glMatrixMode(stack);
        fixedFunction.matrixMode = stack;
        pushMatrix();
    }
    setMatrixMode(mode == GL_PROJECTION ? MatrixProjection : MatrixModelView);
    modelViewFloor = modelViewDepth;
    projectionFloor = projectionDepth;
    // One pixel is still written: the first frame clears it. The scissor
    // is no part of the code the rasterizer builds, so what it builds here
    // serves the frames.
    setScissor(shadow, true, 0, 0, 1, 1);
}

void GlRenderState::endHiddenDraws() {
    claimGl();
    // What was drawn out of sight is finished here, before the clock starts.
    glFinish();
    const Kept& kept = keptForHidden;
    modelViewFloor = projectionFloor = 1;
    popTo(GL_PROJECTION, projectionDepth, kept.projectionDepth);
    popTo(GL_MODELVIEW, modelViewDepth, kept.modelViewDepth);
    apply(kept.shared, kept.fixedFunction, false);
    record = kept.record;
}

void GlRenderState::beginOutsideDraws() {
    claimGl();
    keptForOutside = keep();
    SharedGlState shared = shadow.applied;
    shared.cullFace = shared.depthTest = shared.blend = shared.scissorTest = false;
    shared.activeUnit = 0;
    shared.packAlignment = shared.unpackAlignment = 1;
    FixedFunctionState plain = fixedFunction;
    for (Unit& unit : plain.units) unit.texture2D = unit.texGen = false;
    plain.lighting = false;
    plain.clientUnit = 0;
    plain.enabledArrays = 0;
    apply(shared, plain, false);
}

void GlRenderState::endOutsideDraws() {
    claimGl();
    // Whatever the code changed is unknown: everything is set again.
    apply(keptForOutside.shared, keptForOutside.fixedFunction, true);
    record = keptForOutside.record;
}
