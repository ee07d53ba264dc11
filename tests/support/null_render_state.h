#pragma once
// A RenderState that does nothing and allocates nothing, for measuring
// what the code under test itself does.
#include "platform/render_state.h"

class NullRenderState : public RenderState {
public:
    void setClearColor(Color) override {}
    void setMatrixMode(MatrixMode) override {}
    void loadIdentity() override {}
    void pushMatrix() override {}
    void popMatrix() override {}
    void setPerspective(float, float, float, float) override {}
    void setOrtho2D(float, float, float, float) override {}
    void ortho(float, float, float, float, float, float) override {}
    void translate(float, float, float) override {}
    void rotate(float, float, float, float) override {}
    void scale(float, float, float) override {}
    void clearDepthBuffer() override {}
    void clearColorBuffer() override {}
    void setTexGen(TexGenMode) override {}
    void disableTexGen() override {}
    void setTexEnv(TexEnvMode) override {}
    void enableCulling() override {}
    void disableCulling() override {}
    void enableDepthTest() override {}
    void disableDepthTest() override {}
    void enableDepthWrite() override {}
    void disableDepthWrite() override {}
    void enableLighting() override {}
    void disableLighting() override {}
    void enableBlending() override {}
    void disableBlending() override {}
    void setSmoothShading() override {}
    void setFlatShading() override {}
    void setColor(float, float, float, float) override {}
    void selectTextureUnit(int) override {}
    uint32_t createTexture(int, int, const void*, TextureWrap, TextureFilter) override { return 1; }
    void setTextureFilter(TextureFilter) override {}
    void deleteTexture(uint32_t) override {}
    void bindTexture(uint32_t) override {}
    void disableTextureUnit(int) override {}
    void setBlendFunc(BlendFactor, BlendFactor) override {}
    void setVertexArray(const void*, int, ElementType, int) override {}
    void setNormalArray(const void*, int, ElementType, int) override {}
    void setTexCoordArray(const void*, int, ElementType, int) override {}
    void setIndexArray(const void*, int, ElementType) override {}
    void drawTriangles(int) override {}
    void drawIndexedTriangles() override {}
    void drawQuads(int) override {}
    void setViewport(int, int, int, int) override {}
};
