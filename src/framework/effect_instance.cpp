#include "framework/effect_instance.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "framework/effect.h"
#include "framework/effect_draw_observer.h"

EffectInstance::EffectInstance(Effect* effect, float start, float end, std::string name)
    : effect(effect), start(start), end(end), name(std::move(name)) {}

namespace {

using PathCounts = std::unordered_map<const EffectInstance*, uint64_t>;
constexpr uint64_t notCounted = UINT64_MAX;

// Paths from node down to target, counted only up to cap: anything past the
// visit limit is refused anyway. counts holds every instance above target.
uint64_t pathsDown(const EffectInstance* node, const EffectInstance* target, PathCounts& counts, uint64_t cap) {
    if (node == target) return 1;
    auto found = counts.find(node);
    if (found == counts.end()) return 0;  // no path down to target
    if (found->second != notCounted) return found->second;
    uint64_t paths = 0;
    for (const EffectInstance* child : node->getChildren())
        paths = std::min(cap, paths + pathsDown(child, target, counts, cap));
    counts[node] = paths;
    return paths;
}

}  // namespace

bool EffectInstance::addChild(EffectInstance* child) {
    if (child == nullptr || child->contains(this)) return false;
    // This instance and every one above it gain child's visits once for each
    // path down to this instance.
    PathCounts counts;
    std::vector<EffectInstance*> above;
    std::vector<EffectInstance*> pending(parents);
    while (!pending.empty()) {
        EffectInstance* node = pending.back();
        pending.pop_back();
        if (!counts.emplace(node, notCounted).second) continue;
        above.push_back(node);
        pending.insert(pending.end(), node->parents.begin(), node->parents.end());
    }
    above.push_back(this);
    const uint64_t cap = maxInstanceVisitsPerFrame + 1;
    std::vector<uint64_t> grown;
    grown.reserve(above.size());
    for (const EffectInstance* node : above) {
        grown.push_back(node->visits + pathsDown(node, this, counts, cap) * child->visits);
        if (grown.back() > maxInstanceVisitsPerFrame) return false;
    }
    for (size_t i = 0; i < above.size(); ++i) above[i]->visits = unsigned(grown[i]);
    children.push_back(child);
    child->parents.push_back(this);
    return true;
}

bool EffectInstance::contains(const EffectInstance* other) const {
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

void EffectInstance::render(float t, RenderState& renderState, EffectDrawObserver* observer) {
    const float local = t - start;
    for (EffectInstance* child : children) {
        if (inRange(child->start, local, child->end)) child->render(local, renderState, observer);
    }
    if (effect == nullptr) return;
    effect->setWindow(start, end);
    effect->setTime(local);
    if (observer != nullptr) {
        observer->beforeDraw(*effect);
        effect->draw(renderState);
        observer->afterDraw(*effect);
    } else {
        effect->draw(renderState);
    }
}

std::vector<EffectInstance*> EffectInstance::collectActive(float t) {
    std::vector<EffectInstance*> active;
    collectActive(t, active);
    return active;
}

void EffectInstance::collectActive(float t, std::vector<EffectInstance*>& out) {
    if (!inRange(start, t, end)) return;
    out.push_back(this);
    const float local = t - start;
    for (EffectInstance* child : children) child->collectActive(local, out);
}
