#pragma once
// What the frame loop knows of the demo: two operations, init once before
// the first frame and drawFrame once per frame, and whether the demo has
// come to its end (the loop then returns without showing that frame).
class DemoInterface {
public:
    virtual ~DemoInterface() = default;
    virtual void init() = 0;
    virtual void drawFrame(float t) = 0;
    // After init, for a run whose first frame is at t on a grid of
    // stepsPerSecond steps: the sync events a run from 0 on that grid would
    // have delivered before then.
    virtual void catchUpTo(double /*t*/, int /*stepsPerSecond*/) {}
    virtual bool hasEnded() const { return false; }
};
