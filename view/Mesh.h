// Mesh.h - what the previewer's tessellators make: triangles, lines and their looks, in the
// space of the primitive they came from (object space).
//
// A tessellator fills a Mesh from one request; the scene gatherer (ViewContext) moves it to
// camera space, shades its vertices and adds it to the picture. Plain data, no OpenGL.
//
//     view::Mesh mesh;
//     uint32_t a = mesh.addVertex({0, 0, 0}), b = mesh.addVertex({1, 0, 0}),
//              c = mesh.addVertex({0, 1, 0});
//     mesh.addTriangle(a, b, c);
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

namespace view {

struct Vec3 {
  double x = 0, y = 0, z = 0;
};

inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator*(Vec3 a, double s) { return {a.x * s, a.y * s, a.z * s}; }
inline Vec3 operator*(double s, Vec3 a) { return a * s; }
inline double dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 cross(Vec3 a, Vec3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double length(Vec3 a) { return std::sqrt(dot(a, a)); }
inline Vec3 normalized(Vec3 a) {
  const double l = length(a);
  return l > 0 ? a * (1 / l) : Vec3{};
}

struct Color {
  float r = 1, g = 1, b = 1;
};

/// Triangles and lines over shared vertices. The optional per-vertex arrays (normals, colors,
/// opacities) are either empty (the primitive's attributes apply: the current Color and Opacity,
/// normals from the triangles) or hold one entry per vertex.
///
/// Winding: a triangle (a, b, c) faces the side that (b - a) x (c - a) points to, which is the
/// primitive's own geometric normal (dP/du x dP/dv for parametric surfaces, the vertex order for
/// polygons) before Orientation is taken into account; the gatherer handles Orientation,
/// ReverseOrientation and the handedness of the current transformation.
struct Mesh {
  std::vector<Vec3> positions;
  std::vector<Vec3> normals;
  std::vector<Color> colors;
  std::vector<Color> opacities;
  std::vector<uint32_t> triangles; // three vertex indices each
  std::vector<uint32_t> lines;     // two vertex indices each: drawn as one-pixel lines
  /// Without normals: each triangle is shaded by its own normal (polygons are flat) rather than
  /// by normals averaged around shared vertices (surfaces are smooth).
  bool flat = false;
  /// Made to face the eye (ribbons, discs): drawn whatever Sides and Orientation say, as they
  /// have no back to turn away.
  bool facesEye = false;

  uint32_t addVertex(Vec3 p) {
    positions.push_back(p);
    return static_cast<uint32_t>(positions.size() - 1);
  }
  void addTriangle(uint32_t a, uint32_t b, uint32_t c) { triangles.insert(triangles.end(), {a, b, c}); }
  void addLine(uint32_t a, uint32_t b) { lines.insert(lines.end(), {a, b}); }
  /// Two triangles per cell of a grid of (nu + 1) x (nv + 1) vertices added from `first` on,
  /// u varying fastest.
  void addGridTriangles(uint32_t first, int nu, int nv) {
    const int row = nu + 1;
    for (int j = 0; j < nv; ++j)
      for (int i = 0; i < nu; ++i) {
        const uint32_t a = first + j * row + i, b = a + 1, c = a + row, d = c + 1;
        addTriangle(a, b, c);
        addTriangle(b, d, c);
      }
  }
  bool empty() const { return triangles.empty() && lines.empty(); }
};

} // namespace view
