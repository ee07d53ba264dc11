#pragma once
// The RenderState that issues OpenGL 1.1 and GLU calls, with the ARB
// multitexture selectors for texture units. Its constructor issues no GL
// call; every operation needs a current GL context, and it assumes it is
// the only one switching client arrays and client texture units there.
#include <GL/gl.h>

#include "platform/render_state.h"

class GlRenderState : public RenderState {
public:
    void setClearColor(Color color) override;
    void setMatrixMode(MatrixMode mode) override;
    void loadIdentity() override;
    void pushMatrix() override;
    void popMatrix() override;
    void setPerspective(float fovY, float aspect, float zNear, float zFar) override;
    void setOrtho2D(float left, float right, float bottom, float top) override;
    void setViewport(int x, int y, int width, int height) override;
    void ortho(float left, float right, float bottom, float top, float zNear, float zFar) override;
    void translate(float x, float y, float z) override;
    void rotate(float angleDegrees, float x, float y, float z) override;
    void scale(float x, float y, float z) override;
    void clearDepthBuffer() override;
    void clearColorBuffer() override;
    void setTexGen(TexGenMode mode) override;
    void disableTexGen() override;
    void setTexEnv(TexEnvMode mode) override;
    void enableCulling() override;
    void disableCulling() override;
    void enableDepthTest() override;
    void disableDepthTest() override;
    void enableDepthWrite() override;
    void disableDepthWrite() override;
    void enableLighting() override;
    void disableLighting() override;
    void enableBlending() override;
    void disableBlending() override;
    void setSmoothShading() override;
    void setFlatShading() override;
    void setColor(float red, float green, float blue, float alpha) override;
    void selectTextureUnit(int unit) override;
    uint32_t createTexture(int width, int height, const void* pixels, TextureWrap wrap, TextureFilter filter) override;
    void setTextureFilter(TextureFilter filter) override;
    void deleteTexture(uint32_t name) override;
    void bindTexture(uint32_t name) override;
    void disableTextureUnit(int unit) override;
    void setBlendFunc(BlendFactor source, BlendFactor destination) override;
    void setVertexArray(const void* data, int size, ElementType type, int stride) override;
    void setNormalArray(const void* data, int size, ElementType type, int stride) override;
    void setTexCoordArray(const void* data, int size, ElementType type, int stride) override;
    void setIndexArray(const void* indices, int count, ElementType type) override;
    void drawTriangles(int vertexCount) override;
    void drawIndexedTriangles() override;
    void drawQuads(int vertexCount) override;
    void beginHiddenDraws() override;
    void endHiddenDraws() override;

private:
    // Client arrays as bits: vertex, normal, and texture coordinates of
    // units 0 to 3.
    static constexpr unsigned vertexArrayBit = 1u;
    static constexpr unsigned normalArrayBit = 2u;
    static constexpr unsigned texCoordArrayBit(int unit) { return 4u << unit; }

    void enableArray(unsigned bit, GLenum array);
    // Switches off the arrays enabled for an earlier draw and not set again
    // since: GL would read them past their end for this one.
    void prepareArrayDraw();

    const void* indices = nullptr;
    GLenum indexType = GL_UNSIGNED_INT;
    int indexCount = 0;
    int clientUnit = 0;          // the client texture unit selected last
    unsigned enabledArrays = 0;  // enabled in GL by this object
    unsigned arraysSet = 0;      // set since the last draw

    // What beginHiddenDraws keeps beside GL's own attribute stacks.
    struct Kept {
        GLfloat modelView[16];
        GLfloat projection[16];
        const void* indices;
        GLenum indexType;
        int indexCount;
        int clientUnit;
        unsigned enabledArrays;
        unsigned arraysSet;
    };
    Kept kept{};
};

// The code tables: GL constant for a code, or 0 for a code outside the
// table (callers then change nothing).
GLenum blendFactorFor(int code);
GLenum elementTypeFor(int code);
GLenum texGenModeFor(int code);
GLenum texEnvModeFor(int code);
GLenum matrixModeFor(int code);
