#pragma once
// A full-screen picture seen through a moving distortion: a grid of quads
// whose texture coordinates two expressions of x, y, r, a and t recompute
// every frame.
#include <memory>
#include <string>
#include <vector>

#include "assets/vec.h"
#include "effects/uv_function.h"
#include "framework/effect.h"

class Texture;

// The "resolution" the effect uses for a written one: 1 for a value below 1,
// which would divide by zero or turn the grid size negative.
int usableUVMapResolution(int written);

class FxGLUVMap : public Effect {
public:
    FxGLUVMap();
    ~FxGLUVMap() override;

    void init(RenderState& renderState, const DemoLimits& limits) override;
    void draw(RenderState& renderState) override;
    std::unique_ptr<Effect> newInstance() override { return std::make_unique<FxGLUVMap>(); }
    std::string typeName() override { return "FxGLUVMap"; }

    // Replaces the mapping init built from the script (tools and tests).
    void useFunction(std::unique_ptr<UVFunction> function);

    // Grid points per grid row; there are rows() + 1 grid rows.
    int getColumns() const { return columns; }
    int getRows() const { return rows; }
    // Texture coordinates of grid point i of grid row j, as the last draw
    // computed them.
    Vec2 gridPoint(int i, int j) const { return grid[j * columns + i]; }

private:
    void evaluateGrid(float t);
    void buildQuadCorners();
    void drawQuads(RenderState& rs);

    std::unique_ptr<UVFunction> uvFunction;
    std::unique_ptr<Texture> texture;  // null when no picture was named: nothing is drawn
    std::vector<Vec2> grid;
    // Four corners per quad, in drawing order: fixed positions, and texture
    // coordinates copied from the grid every frame, so that all quads go to
    // GL in one draw.
    std::vector<Vec2> quadCorners;
    std::vector<Vec2> quadTexCoords;
    int columns = 0;
    int rows = 0;
};
