#pragma once
// The part of a render state that both GL backends share: the operations
// that only change the state they keep in their shadow (tests, blending,
// depth writes, the clear colour) and the clears, which read it.
#include "platform/gl_state_shadow.h"
#include "platform/render_state.h"

class ShadowedRenderState : public RenderState {
public:
    void setClearColor(Color color) override;
    void clearDepthBuffer() override;
    void clearColorBuffer() override;
    void enableCulling() override;
    void disableCulling() override;
    void enableDepthTest() override;
    void disableDepthTest() override;
    void enableDepthWrite() override;
    void disableDepthWrite() override;
    void enableBlending() override;
    void disableBlending() override;
    void setBlendFunc(BlendFactor source, BlendFactor destination) override;

    // What this object has made GL hold, for checking against GL itself.
    const SharedGlState& sharedGlState() const { return shadow.applied; }

protected:
    explicit ShadowedRenderState(const GlStateCalls& calls) : shadow(calls) {}

    // Called first by every operation that reads or changes GL state: the
    // first one makes GL hold what the shadow starts from, GL's own starting
    // values, as another render state may have used the context before.
    void claimGl() {
        if (claimed) return;
        claimed = true;
        forceStartingState();
    }
    virtual void forceStartingState() = 0;

    GlStateShadow shadow;

private:
    bool claimed = false;
};
