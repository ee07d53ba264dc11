#pragma once
// A RenderState that issues no GL call and records every operation with its
// arguments, so effects' call sequences can be checked without a context.
#include <string>
#include <vector>

#include "platform/render_state.h"

class RecordingRenderState : public RenderState {
public:
    struct Call {
        std::string name;
        std::vector<double> args;       // numeric arguments in order
        const void* pointer = nullptr;  // data pointer of array operations
        // "name(a,b,c)" with numbers printed by %g; pointers are not printed.
        std::string text() const;
    };

    std::vector<Call> calls;

    // All calls as text, one per entry.
    std::vector<std::string> texts() const;
    // Texts of the calls with this name only.
    std::vector<std::string> textsOf(const std::string& name) const;
    void clear() { calls.clear(); }

    void setClearColor(Color color) override;
    void setMatrixMode(MatrixMode mode) override;
    void loadIdentity() override;
    void pushMatrix() override;
    void popMatrix() override;
    void setPerspective(float fovY, float aspect, float zNear, float zFar) override;
    void setOrtho2D(float left, float right, float bottom, float top) override;
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
    void setViewport(int x, int y, int width, int height) override;

private:
    void record(const char* name, std::vector<double> args = {}, const void* pointer = nullptr);
    uint32_t nextTextureName = 1;
};
