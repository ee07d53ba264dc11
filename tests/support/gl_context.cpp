#include "support/gl_context.h"

#include <cstdlib>

#include "support/headless_gl.h"

bool haveDisplay() {
    const char* display = std::getenv("DISPLAY");
    return display && *display;
}

void GlContextTest::SetUp() {
    QUARN_SKIP_WITHOUT_DISPLAY();
    ASSERT_TRUE(openHeadlessGLContext(640, 480)) << "a display is set but no GL context could be made";
}

void GlContextTest::TearDown() { closeHeadlessGLContext(); }
