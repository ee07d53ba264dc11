#pragma once
// Drawing the demo once, out of sight, before its first frame.
class EffectInstance;
class RenderState;

// Draws the tree once at a moment of each different line-up of effects it
// shows between demo times from and until, with nothing reaching the screen
// and the GL state left as it was. A software rasterizer builds its code for
// a combination of GL state the first time that combination is drawn; done
// here, that work is part of loading instead of a frame's. Returns how many
// moments were drawn. No draw watcher sees these draws.
int drawEachLineUpOnce(EffectInstance& root, RenderState& renderState, float from, float until);
