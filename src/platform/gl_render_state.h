#pragma once
// The RenderState that issues OpenGL 1.1 and GLU calls, with the ARB
// multitexture selectors for texture units. Its constructor issues no GL
// call; every operation needs a current GL context.
#include <GL/gl.h>

#include "platform/render_state.h"

class GlRenderState : public RenderState {
public:
    void setClearColor(Color color) override;
    void setMatrixMode(int mode) override;
    void loadIdentity() override;
    void pushMatrix() override;
    void popMatrix() override;
    void setPerspective(float fovY, float aspect, float zNear, float zFar) override;
    void setOrtho2D(float left, float right, float bottom, float top) override;
    void translate(float x, float y, float z) override;
    void rotate(float angleDegrees, float x, float y, float z) override;
    void scale(float x, float y, float z) override;
    void clearDepthBuffer() override;
    void clearColorBuffer() override;
    void setTexGen(int mode) override;
    void setTexEnv(int mode) override;
    void enableCulling() override;
    void disableCulling() override;
    void enableDepthTest() override;
    void disableDepthTest() override;
    void enableLighting() override;
    void disableLighting() override;
    void enableBlending() override;
    void disableBlending() override;
    void setSmoothShading() override;
    void setFlatShading() override;
    void selectTextureUnit(int unit) override;
    uint32_t createTexture(int width, int height, const void* pixels, int clamp, int filterMode) override;
    void bindTexture(uint32_t name) override;
    void disableTextureUnit(int unit) override;
    void setBlendFunc(int sourceCode, int destinationCode) override;
    void setVertexArray(const void* data, int size, int typeCode, int stride) override;
    void setNormalArray(const void* data, int size, int typeCode, int stride) override;
    void setTexCoordArray(const void* data, int size, int typeCode, int stride) override;
    void setIndexArray(const void* indices, int count, int typeCode) override;
    void drawTriangles(int vertexCount) override;
    void drawIndexedTriangles() override;

private:
    const void* indices = nullptr;
    GLenum indexType = GL_UNSIGNED_INT;
    int indexCount = 0;
};

// The code tables: GL constant for a code, or 0 for a code outside the
// table (callers then change nothing).
GLenum blendFactorFor(int code);
GLenum elementTypeFor(int code);
GLenum texGenModeFor(int code);
GLenum texEnvModeFor(int code);
GLenum matrixModeFor(int code);
