#include "platform/render_state.h"

namespace {
RenderState* processRenderState = nullptr;
}

RenderState* getRenderState() { return processRenderState; }
void setRenderState(RenderState* renderState) { processRenderState = renderState; }
