#include "effects/fx_gl_layer_object.h"

#include <cstdio>

#include "assets/texture.h"
#include "framework/demo_limits.h"
#include "platform/extensions.h"
#include "platform/render_state.h"
#include "platform/report.h"

namespace {

// The unscaled square covers the whole view; the scale makes it a layer.
constexpr float squareCorners[12] = {
    -1.0f, 1.0f, 1.0f, 1.0f, -1.0f, -1.0f, 1.0f, -1.0f, -1.0f, -1.0f, 1.0f, 1.0f,
};

// Texture coordinate of each corner before scrolling: the top edge carries
// the picture's first row, so it shows upright.
constexpr float cornerTexCoords[12] = {
    0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f, 0.0f, 1.0f, 1.0f, 0.0f,
};

std::string textOrEmpty(const char* text) { return text ? std::string(text) : std::string(); }

}  // namespace

std::optional<BlendMode> blendModeFromName(const std::string& name) {
    if (name == "solid") return BlendModeSolid;
    if (name == "additive") return BlendModeAdditive;
    if (name == "modulating") return BlendModeModulating;
    return std::nullopt;
}

FxGLLayerObject::FxGLLayerObject() {
    for (int i = 0; i < 12; ++i) texCoords[i] = cornerTexCoords[i];
}

FxGLLayerObject::~FxGLLayerObject() = default;

void FxGLLayerObject::init(RenderState& renderState, const DemoLimits& limits) {
    TextureManager textureManager(limits.maxJpegPixels);
    // The alpha file name is read first so the console messages keep their order.
    const std::string alphaFileName = textOrEmpty(getString("alphaFilename"));
    const char* textureFileName = getString("textureFilename");
    if (textureFileName) {
        texture = textureManager.loadTexture(textureFileName, false);
        if (!alphaFileName.empty()) textureManager.addAlpha(texture.get(), alphaFileName);
    } else {
        QUARN_REPORT(Log, "FxGLLayerObject: no textureFilename, the layer draws nothing");
    }

    alpha.compile(getStringValue("alpha"), "t");
    uscroll.compile(getStringValue("uscroll"), "t", "0");
    vscroll.compile(getStringValue("vscroll"), "t", "0");

    // After the alpha merge, so the merged alpha reaches GL.
    if (texture) texture->upload(renderState);

    const std::string motionX = textOrEmpty(getString("motionx"));
    const std::string motionY = textOrEmpty(getString("motiony"));
    const std::string sizeX = textOrEmpty(getString("sizex"));
    const std::string sizeY = textOrEmpty(getString("sizey"));
    const std::string angle = textOrEmpty(getString("angle"));
    motion = std::make_unique<ExpressionLayerMotion>(motionX, motionY, sizeX, sizeY, angle);

    // The drawing code knows only the three modes; anything else is drawn
    // solid, which at least shows the picture as it is.
    const char* transparency = getString("transparency");
    const std::optional<BlendMode> mode = transparency ? blendModeFromName(transparency) : std::nullopt;
    if (mode) {
        blendMode = *mode;
    } else {
        blendMode = BlendModeSolid;
        if (transparency)
            QUARN_REPORT(Log, "FxGLLayerObject: unknown transparency \"" + std::string(transparency) +
                                  "\", drawing the layer solid");
        else
            QUARN_REPORT(Log, "FxGLLayerObject: no transparency, drawing the layer solid");
    }

    if (!initExtensions()) {
        QUARN_REPORT(Output, "initExtensions fucked up!!\n");
    }
}

void FxGLLayerObject::draw(RenderState& rs) {
    if (!texture) return;
    const float t = getTime();

    rs.setOrtho2D(-1.0f, 1.0f, -1.0f, 1.0f);
    rs.setMatrixMode(MatrixModelView);
    rs.loadIdentity();
    rs.disableLighting();
    rs.disableDepthTest();
    rs.disableCulling();

    const Vec2 offset = motion->motion(t);
    const Vec2 layerSize = motion->size(t);

    // The layer moves by twice its motion values, as the scripts expect.
    rs.pushMatrix();
    rs.translate(offset.u, offset.v, 0.0f);
    rs.translate(offset.u, offset.v, 0.0f);

    rs.selectTextureUnit(0);
    rs.bindTexture(texture->textureId());
    rs.setTexEnv(TexEnvModulate);

    const float brightness = alpha.evaluateAt(t);
    rs.setColor(brightness, brightness, brightness, 1.0f);

    switch (blendMode) {
    case BlendModeSolid:
        rs.disableBlending();
        break;
    case BlendModeAdditive:
        rs.enableBlending();
        rs.setBlendFunc(BlendOne, BlendOne);
        break;
    case BlendModeModulating:
        rs.setBlendFunc(BlendSrcAlpha, BlendOneMinusSrcAlpha);
        rs.enableBlending();
        break;
    }

    // Scale after rotating, in screen axes: a quarter turn keeps the outline.
    rs.scale(layerSize.u, layerSize.v, 1.0f);
    rs.rotate(motion->angle(t), 0.0f, 0.0f, 1.0f);

    const float u = uscroll.evaluateAt(t);
    const float v = vscroll.evaluateAt(t);
    for (int i = 0; i < 12; i += 2) {
        texCoords[i] = cornerTexCoords[i] + u;
        texCoords[i + 1] = cornerTexCoords[i + 1] + v;
    }

    rs.setVertexArray(squareCorners, 2, ElementFloat, 0);
    rs.setTexCoordArray(texCoords, 2, ElementFloat, 0);
    rs.drawTriangles(6);
    rs.popMatrix();
}
