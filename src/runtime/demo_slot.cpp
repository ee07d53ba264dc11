#include "platform/player_context.h"
#include "runtime/demo_interface.h"

void setDemo(DemoInterface* demo) { playerContext().demo = demo; }
DemoInterface* getDemo() { return playerContext().demo; }
