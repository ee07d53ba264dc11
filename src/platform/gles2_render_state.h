#pragma once
// The RenderState for OpenGL ES 2 and WebGL 1: no fixed-function pipeline,
// so it keeps the matrix stacks, texture units and client arrays itself and
// draws through shaders generated for the state of each draw. What it draws
// matches GlRenderState's picture. Its constructor issues no GL call; every
// operation needs a current ES 2 context.
#include <cstdint>
#include <memory>

#include "platform/render_state.h"

class Gles2RenderState : public RenderState {
public:
    Gles2RenderState();
    ~Gles2RenderState() override;

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
    struct State;
    std::unique_ptr<State> state;
};
