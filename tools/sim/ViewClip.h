// Clipping to the view volume, for pictures made by renderers that do not clip as OpenGL does.
//
// A renderer cannot split geometry that crosses its eye plane, and cuts at its clipping planes
// only coarsely, so the recording writes of the walls, floor and reference lines exactly the part
// that the window's view volume shows. The volume is a box; the bounds are written in the body's
// turned frame, where the box is six half-spaces with the rows of the turn as normals. Everything
// is computed in double; clipped points lie on the box's planes up to double rounding.
//
//     const ViewBox box = viewBoxInTurnedFrame(5.0, 15.0, Vector3(1, 1, 0));
//     std::vector<Vector3> visible = clipPolygon(corners, box);   // empty: nothing shows
#pragma once

#include <array>
#include <vector>

#include "sim/Vector3.h"

namespace simtool {

// The points p with normal.dot(p) <= offset.
struct HalfSpace {
  Vector3 normal;
  double offset;
};

using ViewBox = std::array<HalfSpace, 6>;

/// The box -halfSize..halfSize on every axis of the world, seen from a frame turned by `degrees`
/// about `axis` (right-handed, as glRotate and the RIB Rotate turn): a point p of that frame is
/// inside when its turned image is.
ViewBox viewBoxInTurnedFrame(double halfSize, double degrees, Vector3 axis);

/// The part of the convex polygon `polygon` inside every half-space of `box`, vertices in the
/// polygon's order (Sutherland-Hodgman); a quadrilateral gives at most ten. Vertices on a plane
/// count as inside and add no intersection of their own. Empty when nothing is inside.
std::vector<Vector3> clipPolygon(std::vector<Vector3> polygon, const ViewBox &box);

/// Cuts the segment from `from` to `to` to the box. False, leaving both ends as they were, when
/// nothing of it, or only a single point, is inside.
bool clipSegment(Vector3 &from, Vector3 &to, const ViewBox &box);

} // namespace simtool
