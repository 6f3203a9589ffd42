// NuPatch: trim loops cut a patch down to the area they enclose.
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
const float kCircle[9][3] = {{1, 0, 1},           {1, 1, kHalfRoot2},  {0, 1, 1},
                             {-1, 1, kHalfRoot2}, {-1, 0, 1},          {-1, -1, kHalfRoot2},
                             {0, -1, 1},          {1, -1, kHalfRoot2}, {1, 0, 1}}; // x, y, weight

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

// The unit square in z = 0 as a bilinear NuPatch, cut by `trims` when given.
view::Mesh square(const view::TrimCurves *trims = nullptr, bool inside = false) {
  static const float knots[] = {0, 0, 1, 1}, points[] = {0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0};
  view::NuPatchArgs args;
  args.nu = args.nv = args.uorder = args.vorder = 2;
  args.uknot = args.vknot = knots;
  view::PrimVars vars;
  vars.P = {view::VarClass::Vertex, points, 3};
  view::Mesh mesh;
  EXPECT_TRUE(view::tessellateNuPatch(args, vars, trims, inside, FixedView(0.001), mesh));
  EXPECT_TRUE(wellFormed(mesh));
  return mesh;
}

} // namespace

// Trim loops keep what is inside them; the "inside" sense keeps the rest instead.
TEST(NuPatch, TrimLoopsCutTheSquare) {
  EXPECT_NEAR(area(square()), 1.0, 1e-9);
  const view::TrimCurves circle = circleLoop(0.25f);
  const double disc = M_PI / 16;
  EXPECT_NEAR(area(square(&circle)), disc, disc * 2e-3);
  EXPECT_NEAR(area(square(&circle, true)), 1 - disc, disc * 2e-3);
  const Box box = bounds(square(&circle));
  EXPECT_NEAR(box.lo.x, 0.25, 1e-3);
  EXPECT_NEAR(box.hi.y, 0.75, 1e-3);
}
