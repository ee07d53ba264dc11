#include "platform/gl_finish.h"

#include <GL/gl.h>

void finishGL() { glFinish(); }
