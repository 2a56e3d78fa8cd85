// NanoVG's OpenGL 2 backend, instantiated from its header. Linux libGL exports the GL 2.1 and
// framebuffer-object entry points, so no loader is needed.
#include <GL/gl.h>
#include <GL/glext.h>

#include "nanovg.h"
#define NANOVG_GL2_IMPLEMENTATION
#include "nanovg_gl.h"
