#include "view/NuPatch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "MeshChecks.h"

using namespace viewtest;

namespace {

const float kHalfRoot2 = static_cast<float>(std::sqrt(0.5));
// A full circle as a rational quadratic: nine points around the unit square's corners and sides.
const std::vector<float> kCircleKnots = {0, 0, 0, 0.25f, 0.25f, 0.5f, 0.5f, 0.75f, 0.75f, 1, 1, 1};
const float kCircle[9][3] = {{1, 0, 1},   {1, 1, kHalfRoot2},   {0, 1, 1},
                             {-1, 1, kHalfRoot2}, {-1, 0, 1}, {-1, -1, kHalfRoot2},
                             {0, -1, 1},  {1, -1, kHalfRoot2},  {1, 0, 1}}; // x, y, weight

struct Patch {
  view::NuPatchArgs args;
  std::vector<float> uknot, vknot, points;
  view::PrimVars vars;
  void finish(int components) {
    args.uknot = uknot.data();
    args.vknot = vknot.data();
    args.umin = uknot[args.uorder - 1], args.umax = uknot[args.nu];
    args.vmin = vknot[args.vorder - 1], args.vmax = vknot[args.nv];
    (components == 4 ? vars.Pw : vars.P) = {view::VarClass::Vertex, points.data(), components};
  }
};

// The unit square in z = 0 as a bilinear NuPatch.
Patch square() {
  Patch p;
  p.args.nu = p.args.nv = 2;
  p.args.uorder = p.args.vorder = 2;
  p.uknot = p.vknot = {0, 0, 1, 1};
  p.points = {0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0};
  p.finish(3);
  return p;
}

// A loop of one curve: the circle of radius r around (0.5, 0.5) in parameter space.
view::TrimCurves circleLoop(float r) {
  view::TrimCurves trims;
  trims.ncurves = {1};
  trims.order = {3};
  trims.n = {9};
  trims.knot = kCircleKnots;
  trims.min = {0};
  trims.max = {1};
  for (const auto &q : kCircle) {
    trims.u.push_back((0.5f + r * q[0]) * q[2]);
    trims.v.push_back((0.5f + r * q[1]) * q[2]);
    trims.w.push_back(q[2]);
  }
  return trims;
}

view::Mesh tessellate(const Patch &p, const view::TrimCurves *trims = nullptr,
                      bool inside = false, double pixel = 0.001) {
  view::Mesh mesh;
  EXPECT_TRUE(view::tessellateNuPatch(p.args, p.vars, trims, inside, FixedView(pixel), mesh));
  EXPECT_TRUE(wellFormed(mesh));
  return mesh;
}

} // namespace

// A rational quadratic circle swept along z is the unit cylinder: its area and bounds.
TEST(NuPatch, RationalCylinderHasItsArea) {
  Patch p;
  p.args.nu = 9, p.args.uorder = 3, p.args.nv = 2, p.args.vorder = 2;
  p.uknot = kCircleKnots;
  p.vknot = {0, 0, 1, 1};
  for (float z : {0.f, 1.f})
    for (const auto &q : kCircle)
      p.points.insert(p.points.end(), {q[0] * q[2], q[1] * q[2], z * q[2], q[2]});
  p.finish(4);
  const view::Mesh mesh = tessellate(p);
  EXPECT_NEAR(area(mesh), 2 * M_PI, 2 * M_PI * 1e-3);
  const Box box = bounds(mesh);
  EXPECT_NEAR(box.lo.x, -1, 1e-6);
  EXPECT_NEAR(box.hi.y, 1, 1e-6);
  EXPECT_NEAR(box.hi.z, 1, 1e-6);
  for (const Vec3 &n : mesh.normals) // dP/du x dP/dv: outward
    EXPECT_GT(n.x * n.x + n.y * n.y, 0.99);
  EXPECT_GT(view::dot(mesh.normals[0], mesh.positions[0]), 0.99);

  p.uknot[4] = 0.1f; // knots out of order
  p.finish(4);
  view::Mesh none;
  EXPECT_FALSE(view::tessellateNuPatch(p.args, p.vars, nullptr, false, FixedView(), none));
  EXPECT_TRUE(none.empty());
}

// Trim loops keep what is inside them; the "inside" sense keeps the rest instead.
TEST(NuPatch, TrimLoopsCutTheSquare) {
  const Patch p = square();
  EXPECT_NEAR(area(tessellate(p)), 1.0, 1e-9);
  const view::TrimCurves circle = circleLoop(0.25f);
  const double disc = M_PI / 16;
  EXPECT_NEAR(area(tessellate(p, &circle)), disc, disc * 2e-3);
  EXPECT_NEAR(area(tessellate(p, &circle, true)), 1 - disc, disc * 2e-3);
  const Box box = bounds(tessellate(p, &circle));
  EXPECT_NEAR(box.lo.x, 0.25, 1e-3);
  EXPECT_NEAR(box.hi.y, 0.75, 1e-3);

  // Two loops: a ring between circles of radius 0.4 and 0.2 (even-odd).
  view::TrimCurves ring = circleLoop(0.4f);
  const view::TrimCurves inner = circleLoop(0.2f);
  ring.ncurves.push_back(1);
  for (auto [to, from] : {std::pair{&ring.order, &inner.order}, {&ring.n, &inner.n}})
    to->insert(to->end(), from->begin(), from->end());
  for (auto [to, from] : {std::pair{&ring.knot, &inner.knot}, {&ring.min, &inner.min},
                          {&ring.max, &inner.max}, {&ring.u, &inner.u}, {&ring.v, &inner.v},
                          {&ring.w, &inner.w}})
    to->insert(to->end(), from->begin(), from->end());
  const double ringArea = M_PI * (0.16 - 0.04);
  EXPECT_NEAR(area(tessellate(p, &ring)), ringArea, ringArea * 2e-3);
}
