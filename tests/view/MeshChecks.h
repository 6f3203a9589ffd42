// MeshChecks.h - what the tessellators' meshes must satisfy, measured: area, enclosed volume,
// bounds, closedness; and a view of constant pixel size from a fixed direction.
#pragma once

#include <algorithm>
#include <limits>
#include <map>
#include <utility>

#include "view/Mesh.h"
#include "view/ViewSpace.h"

namespace viewtest {

using view::Vec3;

/// Every point one `pixel` across, the eye far along `eye`; points with z below `hither` are
/// behind the eye.
struct FixedView : view::ViewSpace {
  explicit FixedView(double pixel = 0.01, Vec3 eye = {0, 0, 1}, double hither = -1e300)
      : pixel(pixel), eye(eye), hither(hither) {}
  double pixelSize(Vec3) const override { return pixel; }
  Vec3 towardEye(Vec3) const override { return eye; }
  bool behindEye(Vec3 p) const override { return p.z < hither; }
  double pixel;
  Vec3 eye;
  double hither;
};

inline double area(const view::Mesh &m) {
  double sum = 0;
  for (size_t t = 0; t < m.triangles.size(); t += 3) {
    const Vec3 a = m.positions[m.triangles[t]], b = m.positions[m.triangles[t + 1]],
               c = m.positions[m.triangles[t + 2]];
    sum += 0.5 * view::length(view::cross(b - a, c - a));
  }
  return sum;
}

/// The signed volume the triangles enclose: positive when they face outward.
inline double volume(const view::Mesh &m) {
  double sum = 0;
  for (size_t t = 0; t < m.triangles.size(); t += 3)
    sum += view::dot(m.positions[m.triangles[t]],
                     view::cross(m.positions[m.triangles[t + 1]], m.positions[m.triangles[t + 2]]));
  return sum / 6;
}

struct Box {
  Vec3 lo{1e300, 1e300, 1e300}, hi{-1e300, -1e300, -1e300};
};

inline Box bounds(const view::Mesh &m) {
  Box b;
  for (const Vec3 &p : m.positions) {
    b.lo = {std::min(b.lo.x, p.x), std::min(b.lo.y, p.y), std::min(b.lo.z, p.z)};
    b.hi = {std::max(b.hi.x, p.x), std::max(b.hi.y, p.y), std::max(b.hi.z, p.z)};
  }
  return b;
}

/// Closed and consistently wound: every directed edge used once, its reverse once too.
inline bool closed(const view::Mesh &m) {
  std::map<std::pair<uint32_t, uint32_t>, int> edges;
  for (size_t t = 0; t < m.triangles.size(); t += 3)
    for (int k = 0; k < 3; ++k) ++edges[{m.triangles[t + k], m.triangles[t + (k + 1) % 3]}];
  for (const auto &[edge, count] : edges) {
    const auto reverse = edges.find({edge.second, edge.first});
    if (count != 1 || reverse == edges.end() || reverse->second != 1) return false;
  }
  return !edges.empty();
}

/// Per-vertex arrays are empty or one per vertex, and every index names a vertex.
inline bool wellFormed(const view::Mesh &m) {
  const size_t n = m.positions.size();
  for (size_t size : {m.normals.size(), m.colors.size(), m.opacities.size()})
    if (size != 0 && size != n) return false;
  return std::all_of(m.triangles.begin(), m.triangles.end(), [n](uint32_t i) { return i < n; }) &&
         std::all_of(m.lines.begin(), m.lines.end(), [n](uint32_t i) { return i < n; });
}

} // namespace viewtest
