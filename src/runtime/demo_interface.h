#pragma once
// What the frame loop knows of the demo: two operations, init once before
// the first frame and drawFrame once per frame.
class DemoInterface {
public:
    virtual ~DemoInterface() = default;
    virtual void init() = 0;
    virtual void drawFrame(float t) = 0;
};

// The process-wide demo slot the frame loop reads; null until set.
void setDemo(DemoInterface* demo);
DemoInterface* getDemo();
