#include "effects/fx_gl_uv_map.h"

#include <cmath>

#include "assets/texture.h"
#include "framework/demo_limits.h"
#include "platform/render_state.h"
#include "platform/report.h"

int usableUVMapResolution(int written) { return written < 1 ? 1 : written; }

FxGLUVMap::FxGLUVMap() = default;
FxGLUVMap::~FxGLUVMap() = default;

void FxGLUVMap::init(RenderState& renderState, const DemoLimits& limits) {
    const int* resolutionValue = getInt("resolution");
    const int written = resolutionValue ? *resolutionValue : 1;
    const int resolution = usableUVMapResolution(written);
    if (resolution != written)
        QUARN_REPORT(Log, "FxGLUVMap: resolution " + std::to_string(written) + " is below 1, using " +
                              std::to_string(resolution));
    columns = 64 / resolution;
    rows = 48 / resolution;

    const char* textureFileName = getString("textureFilename");
    if (textureFileName) {
        TextureManager textureManager(limits.maxJpegPixels);
        texture = textureManager.loadTexture(textureFileName, false);
        texture->upload(renderState);
    } else {
        QUARN_REPORT(Log, "FxGLUVMap: no textureFilename, the effect draws nothing");
    }

    grid.assign(static_cast<size_t>((rows + 1) * (columns + 1)), Vec2(0.0f, 0.0f));
    buildQuadCorners();
    uvFunction = std::make_unique<ExpressionUVFunction>(getStringValue("u"), getStringValue("v"));
}

void FxGLUVMap::useFunction(std::unique_ptr<UVFunction> function) { uvFunction = std::move(function); }

void FxGLUVMap::draw(RenderState& rs) {
    if (!texture) return;

    // Far below near on purpose: everything lies at depth 0 anyway.
    rs.setMatrixMode(MatrixProjection);
    rs.loadIdentity();
    rs.ortho(-1.0f, 1.0f, -1.0f, 1.0f, 0.0f, -2.0f);
    rs.setMatrixMode(MatrixModelView);
    rs.loadIdentity();

    rs.disableLighting();
    rs.disableDepthTest();
    rs.disableCulling();
    // Binding enables 2D texturing on the unit just selected, so a unit
    // another effect left active is not switched on by mistake.
    rs.selectTextureUnit(0);
    rs.bindTexture(texture->textureId());
    rs.setTexEnv(TexEnvReplace);
    rs.setTextureFilter(TextureFilterLinear);

    evaluateGrid(getTime());
    drawQuads(rs);
}

// Both coordinates are divided by half the column count, so the function
// sees an undistorted 4:3 plane with y pointing down the screen.
void FxGLUVMap::evaluateGrid(float t) {
    const int halfColumns = columns / 2;
    const int halfRows = rows / 2;
    const float columnScale = columns * 0.5f;
    for (int j = 0; j <= rows; ++j) {
        for (int i = 0; i < columns; ++i) {
            const float x = static_cast<float>(i - halfColumns) / columnScale;
            const float y = static_cast<float>(halfRows - j) / columnScale;
            const float r = std::sqrt(x * x + y * y);
            const float a = std::atan2(y, x);
            grid[j * columns + i] = uvFunction->map(x, y, r, a, t);
        }
    }
}

// C - 1 quads per row leave a strip of 1/C uncovered at either side.
void FxGLUVMap::buildQuadCorners() {
    quadCorners.clear();
    const float halfColumns = columns * 0.5f;
    const float halfRows = rows * 0.5f;
    for (int j = 0; j < rows; ++j) {
        const float y0 = (static_cast<float>(j) - halfRows) / halfRows;
        const float y1 = y0 + 1.0f / halfRows;
        for (int i = 0; i < columns - 1; ++i) {
            const float x0 = (static_cast<float>(i) - halfColumns) / halfColumns + 1.0f / columns;
            const float x1 = x0 + 1.0f / halfColumns;
            quadCorners.insert(quadCorners.end(), {Vec2(x0, y0), Vec2(x1, y0), Vec2(x1, y1), Vec2(x0, y1)});
        }
    }
    quadTexCoords.assign(quadCorners.size(), Vec2(0.0f, 0.0f));
}

// The quads, with the same corners in the same order, were once drawn one
// glBegin/glEnd each; a single array draw makes the same pixels at a
// fraction of the cost in a software rasterizer.
void FxGLUVMap::drawQuads(RenderState& rs) {
    if (quadCorners.empty()) return;
    Vec2* uv = quadTexCoords.data();
    for (int j = 0; j < rows; ++j) {
        for (int i = 0; i < columns - 1; ++i) {
            const int k = j * columns + i;
            uv[0] = grid[k];
            uv[1] = grid[k + 1];
            uv[2] = grid[k + columns + 1];
            uv[3] = grid[k + columns];
            uv += 4;
        }
    }
    rs.setVertexArray(quadCorners.data(), 2, ElementFloat, 0);
    rs.setTexCoordArray(quadTexCoords.data(), 2, ElementFloat, 0);
    rs.drawQuads(static_cast<int>(quadCorners.size()));
}
