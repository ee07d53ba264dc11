#pragma once
// The RenderState for OpenGL ES 2 and WebGL 1: no fixed-function pipeline,
// so it keeps the matrix stacks, texture units and client arrays itself and
// draws through shaders generated for the state of each draw. What it draws
// matches GlRenderState's picture. Its constructor issues no GL call; every
// operation needs a current ES 2 context. The shader programs and the stream
// buffer it makes are its own: it frees them when it goes, if their context
// is still current.
#include <cstdint>
#include <memory>

#include "platform/shadowed_render_state.h"

class Gles2RenderState : public ShadowedRenderState {
public:
    Gles2RenderState();
    ~Gles2RenderState() override;

    // The matrix stacks, kept here (gles2_matrices).
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

    // What each unit does, which picks the program a draw uses
    // (gles2_shaders); lighting and shading change no picture here.
    void selectTextureUnit(int unit) override;
    void setTexGen(TexGenMode mode) override;
    void disableTexGen() override;
    void setTexEnv(TexEnvMode mode) override;
    void bindTexture(uint32_t name) override;
    void disableTextureUnit(int unit) override;
    void setColor(float red, float green, float blue, float alpha) override;
    void enableLighting() override;
    void disableLighting() override;
    void setSmoothShading() override;
    void setFlatShading() override;

    // Textures, scaled and given their levels here (gles2_texture_upload).
    uint32_t createTexture(int width, int height, const void* pixels, TextureWrap wrap, TextureFilter filter) override;
    void setTextureFilter(TextureFilter filter) override;
    void deleteTexture(uint32_t name) override;

    // Arrays, streamed into a buffer at each draw (gles2_vertex_stream).
    void setVertexArray(const void* data, int size, ElementType type, int stride) override;
    void setNormalArray(const void* data, int size, ElementType type, int stride) override;
    void setTexCoordArray(const void* data, int size, ElementType type, int stride) override;
    void setIndexArray(const void* indices, int count, ElementType type) override;
    void drawTriangles(int vertexCount) override;
    void drawIndexedTriangles() override;
    void drawQuads(int vertexCount) override;

    void beginHiddenDraws() override;
    void endHiddenDraws() override;
    void beginOutsideDraws() override;
    void endOutsideDraws() override;

private:
    void forceStartingState() override;

    struct State;
    std::unique_ptr<State> state;
};
