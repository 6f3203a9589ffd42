#include "tools/sim/ViewClip.h"

#include <algorithm>
#include <cmath>

namespace simtool {

namespace {

// Positive outside the half-space, zero on its plane.
double excess(const HalfSpace &half, Vector3 p) { return half.normal.dot(p) - half.offset; }

} // namespace

ViewBox viewBoxInTurnedFrame(double halfSize, double degrees, Vector3 axis) {
  const Vector3 u = axis.normalized();
  const double radians = degrees * (3.14159265358979323846 / 180.0);
  const double c = std::cos(radians), s = std::sin(radians), t = 1.0 - c;
  // Rows of the rotation matrix (the glRotate matrix): row i dotted with p is the world
  // coordinate i of the turned point.
  const Vector3 rows[3] = {
      Vector3(u.x * u.x * t + c, u.x * u.y * t - u.z * s, u.x * u.z * t + u.y * s),
      Vector3(u.y * u.x * t + u.z * s, u.y * u.y * t + c, u.y * u.z * t - u.x * s),
      Vector3(u.z * u.x * t - u.y * s, u.z * u.y * t + u.x * s, u.z * u.z * t + c),
  };
  ViewBox box;
  for (int i = 0; i < 3; ++i) {
    box[2 * i] = {rows[i], halfSize};
    box[2 * i + 1] = {-rows[i], halfSize};
  }
  return box;
}

std::vector<Vector3> clipPolygon(std::vector<Vector3> polygon, const ViewBox &box) {
  std::vector<Vector3> kept;
  for (const HalfSpace &half : box) {
    kept.clear();
    const std::size_t count = polygon.size();
    for (std::size_t i = 0; i < count; ++i) {
      const Vector3 current = polygon[i], next = polygon[(i + 1) % count];
      const double dc = excess(half, current), dn = excess(half, next);
      if (dc <= 0.0) kept.push_back(current);
      // Only an edge with one end strictly on each side crosses the plane; an end on the
      // plane is a vertex already.
      if ((dc < 0.0 && dn > 0.0) || (dc > 0.0 && dn < 0.0))
        kept.push_back(current + (next - current) * (dc / (dc - dn)));
    }
    polygon.swap(kept);
    if (polygon.empty()) break;
  }
  return polygon;
}

bool clipSegment(Vector3 &from, Vector3 &to, const ViewBox &box) {
  double enter = 0.0, leave = 1.0;
  for (const HalfSpace &half : box) {
    const double df = excess(half, from), dt = excess(half, to);
    if (df > 0.0 && dt > 0.0) return false;
    if (df > 0.0)
      enter = std::max(enter, df / (df - dt));
    else if (dt > 0.0)
      leave = std::min(leave, df / (df - dt));
  }
  if (enter >= leave) return false;
  const Vector3 along = to - from;
  const Vector3 start = enter > 0.0 ? from + along * enter : from;
  const Vector3 end = leave < 1.0 ? from + along * leave : to;
  from = start;
  to = end;
  return true;
}

} // namespace simtool
