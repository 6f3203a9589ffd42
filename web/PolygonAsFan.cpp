// Emscripten's immediate-mode emulation draws WebGL's primitives and quads but not GL_POLYGON.
// The demo's polygons (walls and floor) are convex, so a triangle fan around the first vertex
// covers exactly the pixels the polygon covers. The link wraps every glBegin through here
// (-Wl,--wrap=glBegin), so the drawing code stays what the desktop compiles.
#include <GL/gl.h>

extern "C" {

void __real_glBegin(GLenum mode);

void __wrap_glBegin(GLenum mode) { __real_glBegin(mode == GL_POLYGON ? GL_TRIANGLE_FAN : mode); }

} // extern "C"
