#pragma once
// A watcher around every effect draw of the instance tree, for measuring
// draw times. A normal run passes none and pays one null test.
class Effect;

class EffectDrawObserver {
public:
    virtual ~EffectDrawObserver() = default;
    virtual void beforeDraw(Effect& effect) = 0;
    virtual void afterDraw(Effect& effect) = 0;
};
