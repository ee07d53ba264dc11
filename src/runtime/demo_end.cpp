#include <cstdlib>

#include "platform/window.h"
#include "runtime/demo.h"
#include "runtime/music.h"

void endDemoRun() {
    Music::release();
    restoreDisplayMode();
    std::exit(0);
}
