// FilterNames.h - the RIB name of a reconstruction filter function.
//
// RIB names a pixel or texture filter by word, while the RenderMan interface passes a function.
// The library recognises its five standard filters by their address; any other function (a
// caller's own, or none) has no name, and the requests then write empty quotes in its place.
#pragma once

#include "rib/ri.h"

namespace rib {

/// "gaussian", "box", "triangle", "catmull-rom" or "sinc" for the standard filters; "" otherwise.
const char *filterName(RtFilterFunc filter);

} // namespace rib
