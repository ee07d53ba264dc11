#include "demo_session.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "player/music.h"

bool enterDemoDirectory(const char* directory) {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    const char* target = directory ? directory : "demo";
    if (chdir(target) != 0) {
        std::fprintf(stderr, "cannot enter the demo directory %s\n", target);
        return false;
    }
    return true;
}

Music& benchMusic() {
    // Never destroyed: freeing the audio library at exit would come after
    // the library's own state is gone.
    static Music* music = new Music;
    return *music;
}

std::unique_ptr<Demo> loadDemo() {
    auto demo = std::make_unique<Demo>("test.dat", benchMusic());
    demo->init();
    return demo;
}
