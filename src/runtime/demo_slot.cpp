#include "runtime/demo_interface.h"

namespace {
DemoInterface* processDemo = nullptr;
}

void setDemo(DemoInterface* demo) { processDemo = demo; }
DemoInterface* getDemo() { return processDemo; }
