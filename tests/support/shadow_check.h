#pragma once
// Checks, for either render state in a current context, that what it
// believes GL holds is what GL holds after hidden draws and after code of
// its own drew with GL between beginOutsideDraws and endOutsideDraws: a
// shadow that disagrees skips the next change of that state.

class RenderState;
struct SharedGlState;

// shadow: the render state's own record, read after each step.
void expectShadowFollowsSavesAndRestores(RenderState& state, const SharedGlState& shadow);
