// Entry point: the render state, the window, the demo, the frame loop.
#include <cstdio>

#include "platform/gl_render_state.h"
#include "platform/window.h"
#include "runtime/command_line.h"
#include "runtime/demo.h"
#include "runtime/demo_interface.h"
#include "runtime/frame_loop.h"

int main(int argc, char** argv) {
    const CommandLine options = parseCommandLine(argc, argv);
    if (!options.unknownOption.empty()) {
        std::fprintf(stderr, "quarn2: unknown option '%s'\n%s", options.unknownOption.c_str(), usageText());
        return 2;
    }
    if (options.help) {
        std::fputs(usageText(), stdout);
        return 0;
    }

    // Progress lines should show up as they happen even when the console is
    // redirected to a file or a pipe.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);

    setRenderState(new GlRenderState);
    openWindow(640, 480, !options.windowed);
    // Lives until the process ends: the frame loop and the exit path use it.
    setDemo(new Demo("test.dat"));
    runFrameLoop();
    shutdown();
}
