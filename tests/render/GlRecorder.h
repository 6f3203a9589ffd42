// Stand-ins for the OpenGL and GLU entry points that render/ calls. The
// test program defines them itself, so the drawing runs without a display
// and every call is recorded as one line of text, in call order.
#pragma once

#include <string>
#include <vector>

// Recorded calls, e.g. "glColor3f(0,0.8,0)"; numbers with %.9g (exact for floats).
std::vector<std::string> &glCalls();
