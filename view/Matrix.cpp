#include "Matrix.h"

#include <algorithm>
#include <cmath>

namespace view {

Mat4 Mat4::rotate(double degrees, double x, double y, double z) {
  Mat4 a;
  const Vec3 axis = normalized({x, y, z});
  if (length(axis) == 0) return a;
  const double angle = degrees * M_PI / 180, c = std::cos(angle), s = std::sin(angle),
               t = 1 - c;
  const double ax = axis.x, ay = axis.y, az = axis.z;
  // Row-vector form of the rotation about the axis (the transpose of the column-vector one).
  a.m[0][0] = t * ax * ax + c, a.m[0][1] = t * ax * ay + s * az, a.m[0][2] = t * ax * az - s * ay;
  a.m[1][0] = t * ax * ay - s * az, a.m[1][1] = t * ay * ay + c, a.m[1][2] = t * ay * az + s * ax;
  a.m[2][0] = t * ax * az + s * ay, a.m[2][1] = t * ay * az - s * ax, a.m[2][2] = t * az * az + c;
  return a;
}

Mat4 Mat4::skew(double degrees, Vec3 a, Vec3 b) {
  // Points move along b by an amount that grows with their component along the part of a that is
  // perpendicular to b, so that a direction at angle(a, b) ends at that angle minus `degrees`.
  Mat4 r;
  const Vec3 bn = normalized(b);
  if (length(bn) == 0) return r;
  const Vec3 a1 = a - bn * dot(a, bn);
  const double along = dot(a, bn), across = length(a1);
  if (across == 0) return r;
  const Vec3 an = a1 * (1 / across);
  const double angle = std::atan2(across, along) - degrees * M_PI / 180;
  if (angle <= 0 || angle >= M_PI) return r;
  const double shear = across / std::tan(angle) - along;
  const double k = shear / across;
  const double an3[3] = {an.x, an.y, an.z}, bn3[3] = {bn.x, bn.y, bn.z};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) r.m[i][j] += k * an3[i] * bn3[j];
  return r;
}

Mat4 Mat4::perspective(double fovDegrees) {
  const double t = std::tan(fovDegrees * M_PI / 360);
  Mat4 a;
  a.m[0][0] = 1 / t, a.m[1][1] = 1 / t;
  a.m[2][3] = 1, a.m[3][3] = 0;
  return a;
}

double Mat4::largestStretch() const {
  double best = 0;
  for (int i = 0; i < 3; ++i)
    best = std::max(best, std::sqrt(m[i][0] * m[i][0] + m[i][1] * m[i][1] + m[i][2] * m[i][2]));
  return best > 0 ? best : 1;
}

Mat4 Mat4::inverse() const {
  // Gauss-Jordan with partial pivoting.
  double a[4][8];
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      a[i][j] = m[i][j];
      a[i][j + 4] = i == j ? 1 : 0;
    }
  for (int col = 0; col < 4; ++col) {
    int pivot = col;
    for (int r = col + 1; r < 4; ++r)
      if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) pivot = r;
    if (std::fabs(a[pivot][col]) < 1e-300) return Mat4();
    for (int j = 0; j < 8; ++j) std::swap(a[col][j], a[pivot][j]);
    const double d = a[col][col];
    for (int j = 0; j < 8; ++j) a[col][j] /= d;
    for (int r = 0; r < 4; ++r) {
      if (r == col || a[r][col] == 0) continue;
      const double f = a[r][col];
      for (int j = 0; j < 8; ++j) a[r][j] -= f * a[col][j];
    }
  }
  Mat4 inv;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) inv.m[i][j] = a[i][j + 4];
  return inv;
}

} // namespace view
