// Triangulate.h - a plane polygon with holes cut into triangles: each hole is joined to the outer
// loop by a bridge, then ears are clipped. Loops may be non-convex and wound either way.
#pragma once

#include <cstdint>
#include <vector>

namespace view {

struct Vec2 {
  double x = 0, y = 0;
};

/// `loops[0]` is the outer loop, the others holes in it. Returns three indices per triangle
/// into the loops' points counted one after the other (loop 0 first), each triangle wound as
/// the outer loop is.
std::vector<uint32_t> triangulate(const std::vector<std::vector<Vec2>> &loops);

} // namespace view
