#pragma once
// A RenderState that does nothing at all (and, unlike the recording one,
// allocates nothing), for measuring what a draw itself costs.
#include "platform/render_state.h"

class NullRenderState : public RenderState {
public:
    void setClearColor(Color) override {}
    void setMatrixMode(int) override {}
    void loadIdentity() override {}
    void pushMatrix() override {}
    void popMatrix() override {}
    void setPerspective(float, float, float, float) override {}
    void setOrtho2D(float, float, float, float) override {}
    void translate(float, float, float) override {}
    void rotate(float, float, float, float) override {}
    void scale(float, float, float) override {}
    void clearDepthBuffer() override {}
    void clearColorBuffer() override {}
    void setTexGen(int) override {}
    void setTexEnv(int) override {}
    void enableCulling() override {}
    void disableCulling() override {}
    void enableDepthTest() override {}
    void disableDepthTest() override {}
    void enableLighting() override {}
    void disableLighting() override {}
    void enableBlending() override {}
    void disableBlending() override {}
    void setSmoothShading() override {}
    void setFlatShading() override {}
    void selectTextureUnit(int) override {}
    uint32_t createTexture(int, int, const void*, int, int) override { return 1; }
    void bindTexture(uint32_t) override {}
    void disableTextureUnit(int) override {}
    void setBlendFunc(int, int) override {}
    void setVertexArray(const void*, int, int, int) override {}
    void setNormalArray(const void*, int, int, int) override {}
    void setTexCoordArray(const void*, int, int, int) override {}
    void setIndexArray(const void*, int, int) override {}
    void drawTriangles(int) override {}
    void drawIndexedTriangles() override {}
};
