#include "platform/player_context.h"
#include "player/demo_interface.h"

void setDemo(DemoInterface* demo) { playerContext().demo = demo; }
DemoInterface* getDemo() { return playerContext().demo; }
