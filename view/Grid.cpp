#include "Grid.h"

#include <algorithm>
#include <cmath>

namespace view {

double surfaceTolerance(const SurfaceFn &surface, const ViewSpace &view) {
  // Only what can be seen counts; a surface wholly behind the eye is cut coarsely.
  double smallest = 1e300, largest = 0;
  for (int i = 0; i <= 8; ++i)
    for (int j = 0; j <= 4; ++j) {
      const Vec3 p = surface(i / 8.0, j / 4.0);
      const double size = view.pixelSize(p);
      largest = std::max(largest, size);
      if (!view.behindEye(p)) smallest = std::min(smallest, size);
    }
  return std::max(0.5 * (smallest < 1e300 ? smallest : largest), 1e-9);
}

int arcSteps(double radius, double radians, double tolerance, int most) {
  // Numbers that are not finite (binary RIB can hold them) make one step, not an undefined count.
  if (!std::isfinite(radius) || !std::isfinite(radians) || !std::isfinite(tolerance)) return 1;
  radius = std::fabs(radius), radians = std::fabs(radians);
  if (radius <= tolerance || radians == 0)
    return std::min(most, std::max(1, int(std::ceil(radians / (M_PI / 2)))));
  // The chord of an arc of angle a leaves it by r (1 - cos(a / 2)).
  const double step = 2 * std::acos(std::max(-1.0, 1 - tolerance / radius));
  return std::clamp(int(std::ceil(radians / step)), 1, most);
}

int curveSteps(const SurfaceFn &surface, double tolerance, int most) {
  int steps = 1;
  while (steps < most) {
    double worst = 0;
    for (double u : {0.0, 0.5, 1.0})
      for (int k = 0; k < steps; ++k) {
        const double v0 = double(k) / steps, v1 = double(k + 1) / steps;
        const Vec3 mid = (surface(u, v0) + surface(u, v1)) * 0.5;
        worst = std::max(worst, length(surface(u, 0.5 * (v0 + v1)) - mid));
      }
    if (worst <= tolerance) break;
    steps *= 2;
  }
  return std::min(steps, most);
}

Vec3 cornerValue(const PrimVar &var, const CornerElements &elements, double u, double v) {
  auto element = [&](int e) {
    const float *f = var.at(e);
    return Vec3{f[0], f[1], f[2]};
  };
  switch (var.storage) {
  case VarClass::Constant: return element(0);
  case VarClass::Uniform: return element(elements.uniform);
  default: {
    const Vec3 a = element(elements.corners[0]), b = element(elements.corners[1]),
               c = element(elements.corners[2]), d = element(elements.corners[3]);
    return (a * (1 - u) + b * u) * (1 - v) + (c * (1 - u) + d * u) * v;
  }
  }
}

namespace {

// dP/du x dP/dv by differences; where it vanishes (a pole, an apex) the normal of a point just
// inside stands in. Normals from the surface itself make a closed sweep meet smoothly at its seam.
Vec3 surfaceNormal(const SurfaceFn &surface, double u, double v) {
  const double h = 1e-4;
  for (int attempt = 0; attempt < 3; ++attempt) {
    const double u0 = std::max(0.0, u - h), u1 = std::min(1.0, u + h);
    const double v0 = std::max(0.0, v - h), v1 = std::min(1.0, v + h);
    const Vec3 n = cross(surface(u1, v) - surface(u0, v), surface(u, v1) - surface(u, v0));
    if (length(n) > 1e-18) return n;
    u = u < 0.5 ? u + 4 * h : u - 4 * h;
    v = v < 0.5 ? v + 4 * h : v - 4 * h;
  }
  return {};
}

} // namespace

uint32_t addGrid(const SurfaceFn &surface, int nu, int nv, const PrimVars &vars,
                 const CornerElements &elements, Mesh &mesh) {
  const uint32_t first = static_cast<uint32_t>(mesh.positions.size());
  const bool hasNormal = vars.N.given();
  for (int j = 0; j <= nv; ++j)
    for (int i = 0; i <= nu; ++i) {
      const double u = double(i) / nu, v = double(j) / nv;
      mesh.addVertex(surface(u, v));
      if (vars.Cs.given()) {
        const Vec3 c = cornerValue(vars.Cs, elements, u, v);
        mesh.colors.push_back({float(c.x), float(c.y), float(c.z)});
      }
      if (vars.Os.given()) {
        const Vec3 o = cornerValue(vars.Os, elements, u, v);
        mesh.opacities.push_back({float(o.x), float(o.y), float(o.z)});
      }
      mesh.normals.push_back(hasNormal ? cornerValue(vars.N, elements, u, v)
                                       : surfaceNormal(surface, u, v));
    }
  mesh.addGridTriangles(first, nu, nv);
  return first;
}

} // namespace view
