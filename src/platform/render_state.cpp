#include "platform/render_state.h"

#include "platform/player_context.h"

RenderState* getRenderState() { return playerContext().renderState; }
void setRenderState(RenderState* renderState) { playerContext().renderState = renderState; }
