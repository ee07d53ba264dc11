#pragma once
// The RenderState that issues OpenGL 1.1 and GLU calls, with the ARB
// multitexture selectors for texture units. Its constructor issues no GL
// call; every operation needs a current GL context, and it assumes it is
// the only one changing there the GL state it sets, outside draws apart.
#include <GL/gl.h>

#include "platform/shadowed_render_state.h"

class GlRenderState : public ShadowedRenderState {
public:
    GlRenderState();

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
    void setTexGen(TexGenMode mode) override;
    void disableTexGen() override;
    void setTexEnv(TexEnvMode mode) override;
    void enableLighting() override;
    void disableLighting() override;
    void setSmoothShading() override;
    void setFlatShading() override;
    void setColor(float red, float green, float blue, float alpha) override;
    void selectTextureUnit(int unit) override;
    uint32_t createTexture(int width, int height, const void* pixels, TextureWrap wrap, TextureFilter filter) override;
    void setTextureFilter(TextureFilter filter) override;
    void deleteTexture(uint32_t name) override;
    void bindTexture(uint32_t name) override;
    void disableTextureUnit(int unit) override;
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

    // Client arrays as bits: vertex, normal, and texture coordinates of
    // units 0 to 3.
    static constexpr unsigned vertexArrayBit = 1u;
    static constexpr unsigned normalArrayBit = 2u;
    static constexpr unsigned texCoordArrayBit(int unit) { return 4u << unit; }

    struct ArrayPointer {
        const void* data = nullptr;
        GLint size = 4;
        GLenum type = GL_FLOAT;
        GLsizei stride = 0;
        bool operator==(const ArrayPointer&) const = default;
    };
    struct Unit {
        bool texture2D = false;
        bool texGen = false;  // s and t together
        GLenum texGenMode = GL_EYE_LINEAR;
        GLenum texEnv = GL_MODULATE;
        ArrayPointer texCoords;
    };
    // The fixed-function state beside the shared one, GL's starting values.
    struct FixedFunctionState {
        Unit units[sharedTextureUnits];
        bool lighting = false;
        GLenum shadeModel = GL_SMOOTH;
        GLfloat color[4] = {1, 1, 1, 1};
        GLenum matrixMode = GL_MODELVIEW;
        int clientUnit = 0;          // the client texture unit selected last
        unsigned enabledArrays = 0;  // client arrays enabled in GL
        ArrayPointer vertices, normals;
    };
    // The draws' own record, which no GL call holds.
    struct DrawRecord {
        const void* indices = nullptr;
        GLenum indexType = GL_UNSIGNED_INT;
        int indexCount = 0;
        unsigned arraysSet = 0;  // set since the last draw
    };
    struct Kept {
        SharedGlState shared;
        FixedFunctionState fixedFunction;
        DrawRecord record;
        int modelViewDepth = 1, projectionDepth = 1;
    };

    // Makes GL hold wanted, calling GL only for what differs (everything
    // when forced), the shared state last.
    void apply(SharedGlState shared, const FixedFunctionState& wanted, bool force);
    void setClientUnit(int unit);
    void setArrayEnabled(unsigned bit, bool on, bool force = false);
    void setUnitTexturing(bool on);
    // Switches off the arrays enabled for an earlier draw and not set again
    // since: GL would read them past their end for this one.
    void prepareArrayDraw();
    int& matrixDepth() { return fixedFunction.matrixMode == GL_PROJECTION ? projectionDepth : modelViewDepth; }
    // Pops the selected stack down to depth, selecting it through the shadow.
    void popTo(GLenum mode, int& depth, int target);
    Kept keep() const;

    FixedFunctionState fixedFunction;
    DrawRecord record;
    // Depths of GL's stacks, and the lowest a pop may reach: hidden draws
    // cannot pop what they found.
    int modelViewDepth = 1, projectionDepth = 1;
    int modelViewFloor = 1, projectionFloor = 1;
    Kept keptForHidden, keptForOutside;
};

// The code tables: GL constant for a code, or 0 for a code outside the
// table (callers then change nothing).
GLenum blendFactorFor(int code);
GLenum elementTypeFor(int code);
GLenum texGenModeFor(int code);
GLenum texEnvModeFor(int code);
GLenum matrixModeFor(int code);
