#include "demo_session.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

bool enterDemoDirectory(const char* directory) {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    const char* target = directory ? directory : "demo";
    if (chdir(target) != 0) {
        std::fprintf(stderr, "cannot enter the demo directory %s\n", target);
        return false;
    }
    return true;
}

std::unique_ptr<Demo> loadDemo(RenderState& renderState) {
    auto demo = std::make_unique<Demo>("test.dat", renderState);
    demo->init();
    return demo;
}
