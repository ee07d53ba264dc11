#include "framework/effect_instance.h"

#include <unordered_set>
#include <utility>

#include "framework/effect.h"
#include "framework/effect_draw_observer.h"

EffectInstance::EffectInstance(Effect* effect, float start, float end, std::string name)
    : effect(effect), start(start), end(end), name(std::move(name))
{
}

bool EffectInstance::addChild(EffectInstance* child)
{
    if (child == nullptr || child->contains(this)) return false;
    children.push_back(child);
    return true;
}

bool EffectInstance::contains(const EffectInstance* other) const
{
    // Children may be shared, so remember visited nodes: a wide diamond-shaped
    // tree would otherwise be walked once per path.
    std::vector<const EffectInstance*> pending{this};
    std::unordered_set<const EffectInstance*> visited;
    while (!pending.empty()) {
        const EffectInstance* node = pending.back();
        pending.pop_back();
        if (node == other) return true;
        if (!visited.insert(node).second) continue;
        for (const EffectInstance* child : node->children) pending.push_back(child);
    }
    return false;
}

void EffectInstance::render(float t)
{
    const float local = t - start;
    for (EffectInstance* child : children) {
        if (inRange(child->start, local, child->end)) child->render(local);
    }
    if (effect == nullptr) return;
    effect->setWindow(start, end);
    effect->setTime(local);
    if (EffectDrawObserver* observer = getEffectDrawObserver()) {
        observer->beforeDraw(*effect);
        effect->draw();
        observer->afterDraw(*effect);
    } else {
        effect->draw();
    }
}

std::vector<EffectInstance*> EffectInstance::collectActive(float t)
{
    std::vector<EffectInstance*> active;
    collectActive(t, active);
    return active;
}

void EffectInstance::collectActive(float t, std::vector<EffectInstance*>& out)
{
    if (!inRange(start, t, end)) return;
    out.push_back(this);
    const float local = t - start;
    for (EffectInstance* child : children) child->collectActive(local, out);
}
