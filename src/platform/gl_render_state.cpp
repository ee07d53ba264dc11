#include "platform/gl_render_state.h"

#include <GL/glu.h>

#include <cstdio>

#include "platform/extensions.h"
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

void GlRenderState::setClearColor(Color color) {
    // The components are used as they are: 1 means full intensity.
    glClearColor(color.r, color.g, color.b, color.a);
}

void GlRenderState::setMatrixMode(MatrixMode mode) {
    if (GLenum glMode = matrixModeFor(mode)) glMatrixMode(glMode);
}

void GlRenderState::loadIdentity() { glLoadIdentity(); }
void GlRenderState::pushMatrix() { glPushMatrix(); }
void GlRenderState::popMatrix() { glPopMatrix(); }

void GlRenderState::setPerspective(float fovY, float aspect, float zNear, float zFar) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fovY, aspect, zNear, zFar);
}

void GlRenderState::setOrtho2D(float left, float right, float bottom, float top) {
    glMatrixMode(GL_PROJECTION);
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
void GlRenderState::clearDepthBuffer() { glClear(GL_DEPTH_BUFFER_BIT); }
void GlRenderState::clearColorBuffer() { glClear(GL_COLOR_BUFFER_BIT); }

void GlRenderState::setTexGen(TexGenMode mode) {
    GLenum glMode = texGenModeFor(mode);
    if (!glMode) return;
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, glMode);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, glMode);
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
}

void GlRenderState::disableTexGen() {
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
}

void GlRenderState::setTexEnv(TexEnvMode mode) {
    if (GLenum glMode = texEnvModeFor(mode)) glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, glMode);
}

void GlRenderState::enableCulling() { glEnable(GL_CULL_FACE); }
void GlRenderState::disableCulling() { glDisable(GL_CULL_FACE); }
void GlRenderState::enableDepthTest() { glEnable(GL_DEPTH_TEST); }
void GlRenderState::disableDepthTest() { glDisable(GL_DEPTH_TEST); }
void GlRenderState::enableDepthWrite() { glDepthMask(GL_TRUE); }
void GlRenderState::disableDepthWrite() { glDepthMask(GL_FALSE); }
void GlRenderState::enableLighting() { glEnable(GL_LIGHTING); }
void GlRenderState::disableLighting() { glDisable(GL_LIGHTING); }
void GlRenderState::enableBlending() { glEnable(GL_BLEND); }
void GlRenderState::disableBlending() { glDisable(GL_BLEND); }
void GlRenderState::setSmoothShading() { glShadeModel(GL_SMOOTH); }
void GlRenderState::setFlatShading() { glShadeModel(GL_FLAT); }
void GlRenderState::setColor(float red, float green, float blue, float alpha) { glColor4f(red, green, blue, alpha); }

void GlRenderState::selectTextureUnit(int unit) {
    if (unit < 0 || unit > 3) return;
    // Without the extension there is only unit 0 to select.
    if (!multitexture.glActiveTextureARB || !multitexture.glClientActiveTextureARB) return;
    multitexture.glActiveTextureARB(GL_TEXTURE0_ARB + unit);
    multitexture.glClientActiveTextureARB(GL_TEXTURE0_ARB + unit);
    clientUnit = unit;
}

uint32_t GlRenderState::createTexture(int width, int height, const void* pixels, TextureWrap wrap,
                                      TextureFilter filterMode) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    setFilters(filterMode);
    const GLint glWrap = wrap != TextureWrapRepeat ? GL_CLAMP : GL_REPEAT;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, glWrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, glWrap);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_ADD);
    // gluBuild2DMipmaps reads the pixels even where glTexImage2D would not.
    if ((filterMode & 4) && pixels) {
        std::printf("building 2d mipmaps...\n");
        gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA8, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    } else {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    }
    return name;
}

void GlRenderState::setTextureFilter(TextureFilter filter) { setFilters(filter); }

void GlRenderState::deleteTexture(uint32_t name) {
    if (name == 0 || !hasCurrentGLContext()) return;
    const GLuint glName = name;
    glDeleteTextures(1, &glName);
}

void GlRenderState::bindTexture(uint32_t name) {
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, name);
}

void GlRenderState::disableTextureUnit(int unit) {
    selectTextureUnit(unit);
    glDisable(GL_TEXTURE_2D);
}

void GlRenderState::setBlendFunc(BlendFactor sourceCode, BlendFactor destinationCode) {
    GLenum source = blendFactorFor(sourceCode);
    GLenum destination = blendFactorFor(destinationCode);
    if (source && destination) glBlendFunc(source, destination);
}

void GlRenderState::enableArray(unsigned bit, GLenum array) {
    glEnableClientState(array);
    enabledArrays |= bit;
    arraysSet |= bit;
}

void GlRenderState::setVertexArray(const void* data, int size, ElementType typeCode, int stride) {
    GLenum type = elementTypeFor(typeCode);
    if (!type) return;
    enableArray(vertexArrayBit, GL_VERTEX_ARRAY);
    glVertexPointer(size, type, stride, data);
}

void GlRenderState::setNormalArray(const void* data, int, ElementType typeCode, int stride) {
    GLenum type = elementTypeFor(typeCode);
    if (!type) return;
    enableArray(normalArrayBit, GL_NORMAL_ARRAY);
    glNormalPointer(type, stride, data);
}

void GlRenderState::setTexCoordArray(const void* data, int size, ElementType typeCode, int stride) {
    GLenum type = elementTypeFor(typeCode);
    if (!type) return;
    enableArray(texCoordArrayBit(clientUnit), GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(size, type, stride, data);
}

void GlRenderState::setIndexArray(const void* newIndices, int count, ElementType typeCode) {
    GLenum type = elementTypeFor(typeCode);
    // An unknown type draws nothing rather than misreading the indices.
    indices = newIndices;
    indexType = type ? type : GL_UNSIGNED_INT;
    indexCount = type && newIndices && count > 0 ? count : 0;
}

void GlRenderState::prepareArrayDraw() {
    const unsigned stale = enabledArrays & ~arraysSet;
    if (stale & vertexArrayBit) glDisableClientState(GL_VERTEX_ARRAY);
    if (stale & normalArrayBit) glDisableClientState(GL_NORMAL_ARRAY);
    for (int unit = 0; unit < 4; ++unit) {
        if (!(stale & texCoordArrayBit(unit))) continue;
        // Only reachable through selectTextureUnit, so the entry point exists.
        if (unit != clientUnit) multitexture.glClientActiveTextureARB(GL_TEXTURE0_ARB + unit);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        if (unit != clientUnit) multitexture.glClientActiveTextureARB(GL_TEXTURE0_ARB + clientUnit);
    }
    enabledArrays &= ~stale;
    arraysSet = 0;
}

void GlRenderState::drawTriangles(int vertexCount) {
    prepareArrayDraw();
    glDrawArrays(GL_TRIANGLES, 0, vertexCount);
}

void GlRenderState::drawIndexedTriangles() {
    if (indexCount <= 0) return;
    prepareArrayDraw();
    glDrawElements(GL_TRIANGLES, indexCount, indexType, indices);
}

void GlRenderState::drawQuads(int vertexCount) {
    prepareArrayDraw();
    glDrawArrays(GL_QUADS, 0, vertexCount);
}

void GlRenderState::beginHiddenDraws() {
    kept = Kept{{}, {}, indices, indexType, indexCount, clientUnit, enabledArrays, arraysSet};
    glGetFloatv(GL_MODELVIEW_MATRIX, kept.modelView);
    glGetFloatv(GL_PROJECTION_MATRIX, kept.projection);
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
    // One pixel is still written: the first frame clears it. The scissor
    // is no part of the code the rasterizer builds, so what it builds here
    // serves the frames.
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 1, 1);
}

void GlRenderState::endHiddenDraws() {
    // What was drawn out of sight is finished here, before the clock starts.
    glFinish();
    // The matrices first: popping the attributes brings back the matrix mode.
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(kept.projection);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(kept.modelView);
    glPopClientAttrib();
    glPopAttrib();
    indices = kept.indices;
    indexType = kept.indexType;
    indexCount = kept.indexCount;
    clientUnit = kept.clientUnit;
    enabledArrays = kept.enabledArrays;
    arraysSet = kept.arraysSet;
}
