#include "Splines.h"

#include <algorithm>
#include <cmath>

namespace view {

const RtBasis kBezierBasis = {{-1, 3, -3, 1}, {3, -6, 3, 0}, {-3, 3, 0, 0}, {1, 0, 0, 0}};

void cubicWeights(const RtBasis basis, double t, double weights[4], double dweights[4]) {
  const double power[4] = {t * t * t, t * t, t, 1};
  const double dpower[4] = {3 * t * t, 2 * t, 1, 0};
  for (int j = 0; j < 4; ++j) {
    double w = 0, dw = 0;
    for (int i = 0; i < 4; ++i) {
      w += power[i] * basis[i][j];
      dw += dpower[i] * basis[i][j];
    }
    weights[j] = w;
    if (dweights)
      dweights[j] = dw;
  }
}

int bsplineBasis(int order, int ncontrol, const float *knots, double t, double *values,
                 double *derivs) {
  // The span: the last knot interval [k[i], k[i+1]) with order-1 <= i <= ncontrol-1 holding t.
  const double lo = knots[order - 1], hi = knots[ncontrol];
  t = std::clamp(t, lo, hi);
  int span = order - 1;
  while (span < ncontrol - 1 && t >= knots[span + 1])
    ++span;
  while (span > order - 1 && knots[span] >= knots[span + 1]) // empty span at the far end
    --span;

  // Cox-de Boor, the triangle of lower-order functions built in place.
  constexpr int kMaxOrder = 32;
  double left[kMaxOrder], right[kMaxOrder], n[kMaxOrder];
  double lower[kMaxOrder] = {}; // order-1 functions, for the derivative
  n[0] = 1;
  for (int j = 1; j < order; ++j) {
    left[j] = t - knots[span + 1 - j];
    right[j] = knots[span + j] - t;
    if (j == order - 1)
      std::copy(n, n + j, lower);
    double saved = 0;
    for (int r = 0; r < j; ++r) {
      const double denom = right[r + 1] + left[j - r];
      const double temp = denom != 0 ? n[r] / denom : 0;
      n[r] = saved + right[r + 1] * temp;
      saved = left[j - r] * temp;
    }
    n[j] = saved;
  }
  std::copy(n, n + order, values);
  if (derivs) {
    // N'_{i,k} = (k-1) (N_{i,k-1} / (t_{i+k-1} - t_i) - N_{i+1,k-1} / (t_{i+k} - t_{i+1})).
    const int first = span - order + 1;
    for (int r = 0; r < order; ++r) {
      double d = 0;
      if (order > 1) {
        const int i = first + r;
        if (r > 0) {
          const double den = knots[i + order - 1] - knots[i];
          if (den != 0)
            d += lower[r - 1] / den;
        }
        if (r < order - 1) {
          const double den = knots[i + order] - knots[i + 1];
          if (den != 0)
            d -= lower[r] / den;
        }
        d *= order - 1;
      }
      derivs[r] = d;
    }
  }
  return span - order + 1;
}

int stepsForTolerance(double secondDerivative, double tolerance, int cap) {
  if (!(secondDerivative > 0) || !(tolerance > 0))
    return 1;
  const double steps = std::ceil(std::sqrt(secondDerivative / (8 * tolerance)));
  return static_cast<int>(std::clamp(steps, 1.0, static_cast<double>(std::max(cap, 1))));
}

double controlPolygonBend(const Vec3 *points, int count, int stride, int degree) {
  double bend = 0;
  for (int i = 0; i + 2 < count; ++i) {
    const Vec3 a = points[i * stride], b = points[(i + 1) * stride], c = points[(i + 2) * stride];
    bend = std::max(bend, length(a - 2 * b + c));
  }
  return bend * degree * std::max(degree - 1, 1);
}

void smoothNormals(Mesh &mesh, uint32_t first) {
  const size_t start = std::min<size_t>(first, mesh.normals.size());
  mesh.normals.resize(mesh.positions.size());
  std::fill(mesh.normals.begin() + static_cast<std::ptrdiff_t>(start), mesh.normals.end(), Vec3{});
  for (size_t t = 0; t + 2 < mesh.triangles.size(); t += 3) {
    const uint32_t a = mesh.triangles[t], b = mesh.triangles[t + 1], c = mesh.triangles[t + 2];
    const Vec3 n = cross(mesh.positions[b] - mesh.positions[a], mesh.positions[c] - mesh.positions[a]);
    for (uint32_t v : {a, b, c})
      if (v >= start)
        mesh.normals[v] = mesh.normals[v] + n;
  }
  for (size_t v = start; v < mesh.normals.size(); ++v)
    mesh.normals[v] = normalized(mesh.normals[v]);
}

} // namespace view
