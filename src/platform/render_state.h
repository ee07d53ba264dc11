#pragma once
// The narrow interface through which the demo and its effects change GL
// state and draw arrays. Callers pass small integer codes instead of GL
// enumerations; the GL implementation translates them through fixed tables.
#include <cstdint>

struct Color {
    int8_t r, g, b, a;
    Color(int8_t red, int8_t green, int8_t blue) : r(red), g(green), b(blue), a(0) {}
};

// Blend factor codes for setBlendFunc.
constexpr int BlendOne = 0;
constexpr int BlendOneMinusSrcAlpha = 1;
constexpr int BlendSrcAlpha = 2;

// Array element type codes for the array setters and setIndexArray.
constexpr int ElementFloat = 0;
constexpr int ElementDouble = 1;
constexpr int ElementInt = 2;
constexpr int ElementShort = 3;
constexpr int ElementUnsignedInt = 4;

// Texture coordinate generation codes for setTexGen.
constexpr int TexGenSphereMap = 0;
constexpr int TexGenEyeLinear = 1;
constexpr int TexGenObjectLinear = 2;

// Texture environment codes for setTexEnv.
constexpr int TexEnvAdd = 0;
constexpr int TexEnvModulate = 1;
constexpr int TexEnvReplace = 2;

// Matrix mode codes for setMatrixMode; other codes change nothing.
constexpr int MatrixModelView = 0;
constexpr int MatrixProjection = 1;

class RenderState {
public:
    virtual ~RenderState() = default;

    virtual void setClearColor(Color color) = 0;
    virtual void setMatrixMode(int mode) = 0;
    virtual void loadIdentity() = 0;
    virtual void pushMatrix() = 0;
    virtual void popMatrix() = 0;
    // Both leave the projection matrix selected.
    virtual void setPerspective(float fovY, float aspect, float zNear, float zFar) = 0;
    virtual void setOrtho2D(float left, float right, float bottom, float top) = 0;
    virtual void translate(float x, float y, float z) = 0;
    virtual void rotate(float angleDegrees, float x, float y, float z) = 0;
    virtual void scale(float x, float y, float z) = 0;
    virtual void clearDepthBuffer() = 0;
    virtual void clearColorBuffer() = 0;
    virtual void setTexGen(int mode) = 0;
    virtual void setTexEnv(int mode) = 0;
    virtual void enableCulling() = 0;
    virtual void disableCulling() = 0;
    virtual void enableDepthTest() = 0;
    virtual void disableDepthTest() = 0;
    virtual void enableLighting() = 0;
    virtual void disableLighting() = 0;
    virtual void enableBlending() = 0;
    virtual void disableBlending() = 0;
    virtual void setSmoothShading() = 0;
    virtual void setFlatShading() = 0;
    // Units 0 to 3; any other unit does nothing.
    virtual void selectTextureUnit(int unit) = 0;
    // pixels: width*height RGBA bytes. clamp != 0 clamps, else repeats.
    // Returns the new GL texture name, left bound on the current unit.
    virtual uint32_t createTexture(int width, int height, const void* pixels, int clamp, int filterMode) = 0;
    virtual void bindTexture(uint32_t name) = 0;
    virtual void disableTextureUnit(int unit) = 0;
    virtual void setBlendFunc(int sourceCode, int destinationCode) = 0;
    virtual void setVertexArray(const void* data, int size, int typeCode, int stride) = 0;
    virtual void setNormalArray(const void* data, int size, int typeCode, int stride) = 0;
    virtual void setTexCoordArray(const void* data, int size, int typeCode, int stride) = 0;
    // Remembers the indices for drawIndexedTriangles; issues no GL call.
    virtual void setIndexArray(const void* indices, int count, int typeCode) = 0;
    virtual void drawTriangles(int vertexCount) = 0;
    virtual void drawIndexedTriangles() = 0;
};

// The process-wide render state; null until the entry point sets it.
RenderState* getRenderState();
void setRenderState(RenderState* renderState);
