#pragma once
// An effect placed in a time window of its parent's local time, with ordered
// children. Drawing is depth first: children (in order) before the own effect.
#include <string>
#include <vector>

class Effect;
class EffectDrawObserver;
class RenderState;

// Children may be shared, so a tree of a few dozen instances can still hold
// millions of paths; render and collectActive walk each one every frame.
// An addChild that would take any subtree past this many visits is refused.
constexpr unsigned maxInstanceVisitsPerFrame = 4096;

class EffectInstance {
public:
    // effect may be null: such an instance only groups its children.
    EffectInstance(Effect* effect, float start, float end, std::string name);

    // Appends child. Refuses (returns false, appends nothing) a child that is
    // this instance or one of its ancestors, so the tree stays acyclic, and
    // one that would make a walk of any instance's subtree visit more than
    // maxInstanceVisitsPerFrame instances.
    bool addChild(EffectInstance* child);
    Effect* getEffect() const { return effect; }
    float getStart() const { return start; }
    float getEnd() const { return end; }
    const std::string& getName() const { return name; }
    const std::vector<EffectInstance*>& getChildren() const { return children; }

    // True when other is this instance or lies anywhere below it.
    bool contains(const EffectInstance* other) const;
    // Instances one render (or collectActive) of this subtree visits when
    // every window is open: this one plus each child's count, shared
    // children once per path.
    unsigned visitsPerFrame() const { return visits; }

    // t is in the parent's time base; this instance's own window is not
    // tested. Every effect draws through renderState; observer (null for
    // none) watches each draw.
    void render(float t, RenderState& renderState, EffectDrawObserver* observer = nullptr);
    // Pre-order list of instances whose windows contain their parent's local
    // time; this instance's own window is tested.
    std::vector<EffectInstance*> collectActive(float t);
    // Same, appended to out (lets a caller reuse one list).
    void collectActive(float t, std::vector<EffectInstance*>& out);

private:
    Effect* effect;
    std::vector<EffectInstance*> children;
    std::vector<EffectInstance*> parents;  // one entry per addChild
    unsigned visits = 1;
    float start;
    float end;
    std::string name;
};
