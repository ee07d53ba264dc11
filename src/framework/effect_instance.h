#pragma once
// An effect placed in a time window of its parent's local time, with ordered
// children. Drawing is depth first: children (in order) before the own effect.
#include <string>
#include <vector>

class Effect;

class EffectInstance {
public:
    // effect may be null: such an instance only groups its children.
    EffectInstance(Effect* effect, float start, float end, std::string name);

    // Appends child. Refuses (returns false, appends nothing) a child that is
    // this instance or one of its ancestors, so the tree stays acyclic.
    bool addChild(EffectInstance* child);
    Effect* getEffect() const { return effect; }
    float getStart() const { return start; }
    float getEnd() const { return end; }
    const std::string& getName() const { return name; }
    const std::vector<EffectInstance*>& getChildren() const { return children; }

    // True when other is this instance or lies anywhere below it.
    bool contains(const EffectInstance* other) const;

    // t is in the parent's time base; this instance's own window is not tested.
    void render(float t);
    // Pre-order list of instances whose windows contain their parent's local
    // time; this instance's own window is tested.
    std::vector<EffectInstance*> collectActive(float t);
    // Same, appended to out (lets a caller reuse one list).
    void collectActive(float t, std::vector<EffectInstance*>& out);

private:
    Effect* effect;
    std::vector<EffectInstance*> children;
    float start;
    float end;
    std::string name;
};
