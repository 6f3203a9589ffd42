#include "Quadrics.h"

#include <algorithm>
#include <cmath>

#include "Grid.h"

namespace view {
namespace {

double radians(double degrees) { return degrees * M_PI / 180; }

// A surface of revolution: `profile(v)` gives its point at u = 0 (x, y, z), swept about z by
// `sweep` radians.
void addRevolution(const std::function<Vec3(double v)> &profile, double sweep,
                   const PrimVars &vars, const ViewSpace &view, Mesh &mesh) {
  if (sweep == 0 || !std::isfinite(sweep)) return;
  sweep = std::clamp(sweep, -2 * M_PI, 2 * M_PI);
  const SurfaceFn surface = [&](double u, double v) {
    const Vec3 at = profile(v);
    const double theta = u * sweep;
    return Vec3{at.x * std::cos(theta) - at.y * std::sin(theta),
                at.x * std::sin(theta) + at.y * std::cos(theta), at.z};
  };
  const double tolerance = surfaceTolerance(surface, view);
  double radius = 0;
  for (int k = 0; k <= 16; ++k) {
    const Vec3 at = profile(k / 16.0);
    radius = std::max(radius, std::hypot(at.x, at.y));
  }
  const int nu = arcSteps(radius, sweep, tolerance);
  const int nv = std::max(curveSteps(surface, tolerance), 1);
  addGrid(surface, nu, nv, vars, CornerElements{}, mesh);
}

} // namespace

void tessellateSphere(double radius, double zmin, double zmax, double thetamax,
                      const PrimVars &vars, const ViewSpace &view, Mesh &mesh) {
  const double r = std::fabs(radius);
  if (r == 0) return;
  const double lo = std::asin(std::clamp(std::min(zmin, zmax) / r, -1.0, 1.0));
  const double hi = std::asin(std::clamp(std::max(zmin, zmax) / r, -1.0, 1.0));
  if (hi <= lo) return;
  addRevolution(
      [&](double v) {
        const double phi = lo + v * (hi - lo);
        return Vec3{radius * std::cos(phi), 0, radius * std::sin(phi)};
      },
      radians(thetamax), vars, view, mesh);
}

void tessellateCone(double height, double radius, double thetamax, const PrimVars &vars,
                    const ViewSpace &view, Mesh &mesh) {
  addRevolution([&](double v) { return Vec3{radius * (1 - v), 0, v * height}; }, radians(thetamax),
                vars, view, mesh);
}

void tessellateCylinder(double radius, double zmin, double zmax, double thetamax,
                        const PrimVars &vars, const ViewSpace &view, Mesh &mesh) {
  if (zmin == zmax) return;
  addRevolution([&](double v) { return Vec3{radius, 0, zmin + v * (zmax - zmin)}; },
                radians(thetamax), vars, view, mesh);
}

void tessellateHyperboloid(Vec3 point1, Vec3 point2, double thetamax, const PrimVars &vars,
                           const ViewSpace &view, Mesh &mesh) {
  addRevolution([&](double v) { return point1 + (point2 - point1) * v; }, radians(thetamax), vars,
                view, mesh);
}

void tessellateParaboloid(double rmax, double zmin, double zmax, double thetamax,
                          const PrimVars &vars, const ViewSpace &view, Mesh &mesh) {
  if (zmax == 0 || zmin == zmax) return;
  addRevolution(
      [&](double v) {
        const double z = zmin + v * (zmax - zmin);
        return Vec3{rmax * std::sqrt(std::max(0.0, z / zmax)), 0, z};
      },
      radians(thetamax), vars, view, mesh);
}

void tessellateDisk(double height, double radius, double thetamax, const PrimVars &vars,
                    const ViewSpace &view, Mesh &mesh) {
  addRevolution([&](double v) { return Vec3{radius * (1 - v), 0, height}; }, radians(thetamax),
                vars, view, mesh);
}

void tessellateTorus(double majorRadius, double minorRadius, double phimin, double phimax,
                     double thetamax, const PrimVars &vars, const ViewSpace &view, Mesh &mesh) {
  const double lo = radians(phimin), hi = radians(phimax);
  if (lo == hi) return;
  addRevolution(
      [&](double v) {
        const double phi = lo + v * (hi - lo);
        return Vec3{majorRadius + minorRadius * std::cos(phi), 0, minorRadius * std::sin(phi)};
      },
      radians(thetamax), vars, view, mesh);
}

} // namespace view
