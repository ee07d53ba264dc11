#include "effects/layer_motion.h"

Vec2 LayerMotion::motion(float) { return {0.0f, 0.0f}; }
Vec2 LayerMotion::size(float) { return {1.0f, 0.75f}; }
float LayerMotion::angle(float) { return 0.0f; }

ExpressionLayerMotion::ExpressionLayerMotion(const std::string& motionXSource, const std::string& motionYSource,
                                             const std::string& sizeXSource, const std::string& sizeYSource,
                                             const std::string& angleSource)
    : motionXText(motionXSource),
      motionYText(motionYSource),
      sizeXText(sizeXSource),
      sizeYText(sizeYSource),
      angleText(angleSource) {
    motionX.compile(motionXText, "t");
    motionY.compile(motionYText, "t");
    sizeX.compile(sizeXText, "t");
    sizeY.compile(sizeYText, "t");
    angleExpression.compile(angleText, "t");
}

// The defaults apply per pair: one half of a pair alone does not count.
Vec2 ExpressionLayerMotion::motion(float t) {
    if (motionXText.empty() || motionYText.empty()) return LayerMotion::motion(t);
    return {motionX.evaluateAt(t), motionY.evaluateAt(t)};
}

Vec2 ExpressionLayerMotion::size(float t) {
    if (sizeXText.empty() || sizeYText.empty()) return LayerMotion::size(t);
    return {sizeX.evaluateAt(t), sizeY.evaluateAt(t)};
}

float ExpressionLayerMotion::angle(float t) {
    if (angleText.empty()) return LayerMotion::angle(t);
    return angleExpression.evaluateAt(t);
}
