// Splines.h - the curve arithmetic the parametric tessellators share: cubic segments under a 4x4
// basis matrix, B-spline basis functions over a knot vector, and how many steps a span needs.
#pragma once

#include <vector>

#include "Mesh.h"
#include "PrimVars.h"

namespace view {

/// The Bezier basis matrix, as RiBezierBasis gives it.
extern const RtBasis kBezierBasis;

/// The weights of the four control points of a cubic segment under `basis` at t in [0, 1]
/// (RenderMan's convention: point(t) = [t^3 t^2 t 1] . basis . [P0 P1 P2 P3]), and of its
/// derivative with respect to t when `dweights` is given.
void cubicWeights(const RtBasis basis, double t, double weights[4], double dweights[4] = nullptr);

/// The nonzero B-spline basis functions of `order` at `t`: fills `values` (and `derivs`, when
/// given) with `order` entries, for the control points first .. first + order - 1, and returns
/// first. `knots` holds ncontrol + order values; t is clamped to the valid range.
int bsplineBasis(int order, int ncontrol, const float *knots, double t, double *values,
                 double *derivs = nullptr);

/// How many equal steps a piece of curve needs so that chords stay within `tolerance`, given a
/// bound of its second derivative's length over a unit parameter range: a chord of parameter
/// length h strays at most |P''| h^2 / 8. At least 1, at most `cap`.
int stepsForTolerance(double secondDerivative, double tolerance, int cap);

/// The largest second difference of a row of control points, scaled to bound the second
/// derivative of the curve they control over a parameter length of one (order-1)(order-2) per
/// span, as for a Bezier or B-spline control polygon.
double controlPolygonBend(const Vec3 *points, int count, int stride, int degree);

/// A colour from a colour variable's element (3 floats).
inline Color colorAt(const PrimVar &var, int element) {
  const float *c = var.at(element);
  return {c[0], c[1], c[2]};
}
inline Vec3 vecAt(const PrimVar &var, int element) {
  const float *v = var.at(element);
  return {v[0], v[1], v[2]};
}
inline Color mix(Color a, Color b, double t) {
  const float s = static_cast<float>(t);
  return {a.r + (b.r - a.r) * s, a.g + (b.g - a.g) * s, a.b + (b.b - a.b) * s};
}

/// Area-weighted vertex normals from the triangles of `mesh`, for the vertices from `first` on.
void smoothNormals(Mesh &mesh, uint32_t first = 0);

} // namespace view
