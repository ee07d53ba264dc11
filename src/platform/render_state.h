#pragma once
// The narrow interface through which the demo and its effects change GL
// state and draw arrays; nothing else in the player above src/platform
// touches GL. Callers pass small codes instead of GL enumerations; the GL
// implementation translates them through fixed tables.
#include <cstdint>

struct Color {
    int8_t r, g, b, a;
    Color(int8_t red, int8_t green, int8_t blue) : r(red), g(green), b(blue), a(0) {}
};

// Blend factor codes for setBlendFunc.
enum BlendFactor : int32_t {
    BlendOne = 0,
    BlendOneMinusSrcAlpha = 1,
    BlendSrcAlpha = 2,
};

// Array element type codes for the array setters and setIndexArray.
enum ElementType : int32_t {
    ElementFloat = 0,
    ElementDouble = 1,
    ElementInt = 2,
    ElementShort = 3,
    ElementUnsignedInt = 4,
};

// Texture coordinate generation codes for setTexGen.
enum TexGenMode : int32_t {
    TexGenSphereMap = 0,
    TexGenEyeLinear = 1,
    TexGenObjectLinear = 2,
};

// Texture environment codes for setTexEnv.
enum TexEnvMode : int32_t {
    TexEnvAdd = 0,
    TexEnvModulate = 1,
    TexEnvReplace = 2,
};

// Matrix mode codes for setMatrixMode; other codes change nothing.
enum MatrixMode : int32_t {
    MatrixModelView = 0,
    MatrixProjection = 1,
};

// Filter modes for createTexture and setTextureFilter. Any other value
// filters like TextureFilterMipmapped; bit 2 set (4 and up) builds mipmaps.
enum TextureFilter : int32_t {
    TextureFilterNearest = 1,           // nearest, one level
    TextureFilterLinear = 2,            // linear, one level
    TextureFilterMipmapped = 4,         // linear between linear mipmaps
    TextureFilterNearestMipmapped = 5,  // nearest, linear between nearest mipmaps
};

// Wrap modes for createTexture; any value but 0 clamps.
enum TextureWrap : int32_t {
    TextureWrapRepeat = 0,
    TextureWrapClamp = 1,
};

class RenderState {
public:
    virtual ~RenderState() = default;

    // Where drawing lands, in pixels from the drawable's lower left corner:
    // the picture's area, which clears ignore.
    virtual void setViewport(int x, int y, int width, int height) = 0;
    virtual void setClearColor(Color color) = 0;
    virtual void setMatrixMode(MatrixMode mode) = 0;
    virtual void loadIdentity() = 0;
    virtual void pushMatrix() = 0;
    virtual void popMatrix() = 0;
    // Both leave the projection matrix selected.
    virtual void setPerspective(float fovY, float aspect, float zNear, float zFar) = 0;
    virtual void setOrtho2D(float left, float right, float bottom, float top) = 0;
    // Multiplies the current matrix by an orthographic projection, as
    // translate, rotate and scale do with theirs.
    virtual void ortho(float left, float right, float bottom, float top, float zNear, float zFar) = 0;
    virtual void translate(float x, float y, float z) = 0;
    virtual void rotate(float angleDegrees, float x, float y, float z) = 0;
    virtual void scale(float x, float y, float z) = 0;
    virtual void clearDepthBuffer() = 0;
    virtual void clearColorBuffer() = 0;
    // Both for the selected unit. setTexGen switches generation on for s
    // and t; until disableTexGen the unit ignores its coordinate array.
    virtual void setTexGen(TexGenMode mode) = 0;
    virtual void disableTexGen() = 0;
    virtual void setTexEnv(TexEnvMode mode) = 0;
    virtual void enableCulling() = 0;
    virtual void disableCulling() = 0;
    virtual void enableDepthTest() = 0;
    virtual void disableDepthTest() = 0;
    // Whether drawing writes the depth buffer (the test may still be on).
    virtual void enableDepthWrite() = 0;
    virtual void disableDepthWrite() = 0;
    virtual void enableLighting() = 0;
    virtual void disableLighting() = 0;
    virtual void enableBlending() = 0;
    virtual void disableBlending() = 0;
    virtual void setSmoothShading() = 0;
    virtual void setFlatShading() = 0;
    // The current colour, each component 0 to 1.
    virtual void setColor(float red, float green, float blue, float alpha) = 0;
    // Units 0 to 3; any other unit does nothing.
    virtual void selectTextureUnit(int unit) = 0;
    // pixels: width*height RGBA bytes. Returns the new GL texture name, left
    // bound on the current unit.
    virtual uint32_t createTexture(int width, int height, const void* pixels, TextureWrap wrap,
                                   TextureFilter filter) = 0;
    // Sets the filters of the texture bound on the current unit as
    // createTexture does for the same mode; builds no mipmaps.
    virtual void setTextureFilter(TextureFilter filter) = 0;
    // Frees a texture createTexture made; 0 is ignored. Without a current
    // GL context it does nothing: the context took its textures with it.
    virtual void deleteTexture(uint32_t name) = 0;
    virtual void bindTexture(uint32_t name) = 0;
    virtual void disableTextureUnit(int unit) = 0;
    virtual void setBlendFunc(BlendFactor source, BlendFactor destination) = 0;
    // Array setters. A draw reads exactly the arrays set since the previous
    // draw; an array set for an earlier draw is not read again.
    virtual void setVertexArray(const void* data, int size, ElementType type, int stride) = 0;
    virtual void setNormalArray(const void* data, int size, ElementType type, int stride) = 0;
    // For the texture unit selected last.
    virtual void setTexCoordArray(const void* data, int size, ElementType type, int stride) = 0;
    // Remembers the indices for drawIndexedTriangles; issues no GL call.
    virtual void setIndexArray(const void* indices, int count, ElementType type) = 0;
    virtual void drawTriangles(int vertexCount) = 0;
    virtual void drawIndexedTriangles() = 0;
    // Each four vertices make one quad.
    virtual void drawQuads(int vertexCount) = 0;

    // Draws between these two reach no pixel, and the end puts back every
    // GL state the draws changed: for drawing ahead of time what the
    // rasterizer must prepare the first time it meets it.
    virtual void beginHiddenDraws() {}
    virtual void endHiddenDraws() {}
    // Between these two, code of its own draws with GL directly (the tool
    // overlay, a picture put into the back buffer): it starts on unit 0 with
    // no test, blend, culling, lighting, texture, generation or client array
    // on and rows of pixels packed byte by byte, and the end puts back every
    // state the render state keeps, whatever that code changed.
    virtual void beginOutsideDraws() {}
    virtual void endOutsideDraws() {}
};
