#include "effects/scene_object.h"

#include "platform/render_state.h"

void setSceneView(RenderState& rs) {
    rs.setPerspective(sceneFieldOfViewY, sceneAspect, sceneNear, sceneFar);
    rs.setMatrixMode(MatrixModelView);
    rs.loadIdentity();
}

void SceneObject::applyTransform(RenderState& rs) const {
    rs.setMatrixMode(MatrixModelView);
    rs.loadIdentity();
    rs.translate(-position.x, -position.y, -position.z);
    rs.rotate(rotation.x, 1.0f, 0.0f, 0.0f);
    rs.rotate(rotation.y, 0.0f, 1.0f, 0.0f);
    rs.rotate(rotation.z, 0.0f, 0.0f, 1.0f);
    rs.scale(scale.x, scale.y, scale.z);
}
