// Matrix.h - the 4x4 transformations of the graphics state, as RenderMan writes them: points are
// row vectors multiplied on the left (p' = p M), so a request that concatenates T onto the current
// transformation C makes T C, and the translation sits in the last row.
//
//     view::Mat4 m = view::Mat4::translate(0, 0, 5) * camera;   // object -> camera
//     view::Vec3 q = m.point({1, 0, 0});
#pragma once

#include "Mesh.h"
#include "rib/ri.h"

namespace view {

struct Mat4 {
  double m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};

  static Mat4 fromRi(const RtMatrix r) {
    Mat4 a;
    for (int i = 0; i < 4; ++i)
      for (int j = 0; j < 4; ++j) a.m[i][j] = r[i][j];
    return a;
  }
  static Mat4 translate(double x, double y, double z) {
    Mat4 a;
    a.m[3][0] = x, a.m[3][1] = y, a.m[3][2] = z;
    return a;
  }
  static Mat4 scale(double x, double y, double z) {
    Mat4 a;
    a.m[0][0] = x, a.m[1][1] = y, a.m[2][2] = z;
    return a;
  }
  /// Rotation by `degrees` about the axis (x, y, z), counter-clockwise looking down the axis
  /// toward the origin in a right-handed reading of the numbers (clockwise in left-handed space).
  static Mat4 rotate(double degrees, double x, double y, double z);
  /// RenderMan's Skew: shears along (x2, y2, z2) by `degrees` relative to (x1, y1, z1).
  static Mat4 skew(double degrees, Vec3 a, Vec3 b);
  /// The Perspective request's projection (camera-space depth becomes w).
  static Mat4 perspective(double fovDegrees);

  Mat4 operator*(const Mat4 &b) const {
    Mat4 c;
    for (int i = 0; i < 4; ++i)
      for (int j = 0; j < 4; ++j)
        c.m[i][j] = m[i][0] * b.m[0][j] + m[i][1] * b.m[1][j] + m[i][2] * b.m[2][j] +
                    m[i][3] * b.m[3][j];
    return c;
  }
  /// p M with the homogeneous divide (a perspective in the camera transformation is kept).
  Vec3 point(Vec3 p) const {
    const double x = p.x * m[0][0] + p.y * m[1][0] + p.z * m[2][0] + m[3][0];
    const double y = p.x * m[0][1] + p.y * m[1][1] + p.z * m[2][1] + m[3][1];
    const double z = p.x * m[0][2] + p.y * m[1][2] + p.z * m[2][2] + m[3][2];
    const double w = p.x * m[0][3] + p.y * m[1][3] + p.z * m[2][3] + m[3][3];
    if (w == 1 || w == 0) return {x, y, z};
    return {x / w, y / w, z / w};
  }
  /// A direction: the linear part only.
  Vec3 vector(Vec3 v) const {
    return {v.x * m[0][0] + v.y * m[1][0] + v.z * m[2][0],
            v.x * m[0][1] + v.y * m[1][1] + v.z * m[2][1],
            v.x * m[0][2] + v.y * m[1][2] + v.z * m[2][2]};
  }
  /// The determinant of the linear part: negative when the transformation changes handedness.
  double determinant3() const {
    return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
           m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
           m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
  }
  /// The largest length a unit vector gets (bounded from above by the rows' lengths).
  double largestStretch() const;
  /// The inverse; a singular matrix gives the identity (nothing can be drawn through it anyway).
  Mat4 inverse() const;
  Mat4 transposed() const {
    Mat4 t;
    for (int i = 0; i < 4; ++i)
      for (int j = 0; j < 4; ++j) t.m[i][j] = m[j][i];
    return t;
  }
};

} // namespace view
