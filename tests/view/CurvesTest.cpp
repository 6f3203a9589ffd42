// Curves and points: ribbons and discs facing the eye with their width, at least a pixel across.
#include "view/Curves.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "MeshChecks.h"

using namespace viewtest;

namespace {

view::PrimVar var(const std::vector<float> &values, int components,
                  view::VarClass storage = view::VarClass::Vertex) {
  return {storage, values.data(), components};
}

} // namespace

// A straight ribbon faces the eye and has its width; one thinner than a pixel gets a pixel. Points
// are discs of their width, at least a pixel across, in their colours; none behind the eye.
TEST(Curves, RibbonsAndPointsHaveTheirWidthButAtLeastAPixel) {
  const std::vector<float> p = {0, 0, 0, 1, 0, 0, 2, 0, 0}, widths = {0.1f, 0.1f, 0.1f},
                           thin = {0.0001f}, red = {1, 0, 0};
  const RtInt nvertices[] = {3};
  view::CurvesArgs args;
  args.ncurves = 1;
  args.nvertices = nvertices;
  view::PrimVars vars;
  vars.P = var(p, 3);
  vars.width = var(widths, 1, view::VarClass::Varying);
  vars.Cs = var(red, 3, view::VarClass::Constant);
  view::Mesh mesh;
  ASSERT_TRUE(view::tessellateCurves(args, vars, FixedView(0.01, {0, 0, 1}), mesh));
  ASSERT_TRUE(wellFormed(mesh));
  EXPECT_NEAR(area(mesh), 0.2, 1e-6);
  EXPECT_NEAR(bounds(mesh).hi.y, 0.05, 1e-6);
  ASSERT_EQ(mesh.colors.size(), mesh.positions.size());
  EXPECT_EQ(mesh.colors[0].g, 0.0f);
  for (size_t t = 0; t < mesh.triangles.size(); t += 3) {
    const Vec3 a = mesh.positions[mesh.triangles[t]], b = mesh.positions[mesh.triangles[t + 1]],
               c = mesh.positions[mesh.triangles[t + 2]];
    EXPECT_GT(view::cross(b - a, c - a).z, 0);
  }

  vars.width = {};
  vars.constantwidth = var(thin, 1, view::VarClass::Constant);
  view::Mesh thinMesh;
  ASSERT_TRUE(view::tessellateCurves(args, vars, FixedView(0.01, {0, 0, 1}), thinMesh));
  EXPECT_NEAR(area(thinMesh), 2 * 0.01, 1e-9);

  const std::vector<float> dots = {0, 0, 0, 5, 0, 0}, pointWidths = {0.2f, 0.0001f},
                           colors = {1, 0, 0, 0, 0, 1};
  vars = {};
  vars.P = var(dots, 3);
  vars.width = var(pointWidths, 1, view::VarClass::Varying);
  vars.Cs = var(colors, 3, view::VarClass::Varying);
  view::Mesh discs;
  ASSERT_TRUE(view::tessellatePoints(2, vars, FixedView(0.01, {1, 0, 0}), discs));
  ASSERT_TRUE(wellFormed(discs));
  EXPECT_NEAR(area(discs), M_PI * (0.01 + 0.000025), 0.002);
  EXPECT_NEAR(bounds(discs).hi.z, 0.1, 0.005); // within half a pixel
  EXPECT_NEAR(bounds(discs).hi.x, 5, 1e-9);    // flat across the eye direction
  EXPECT_EQ(discs.colors.back().b, 1.0f);
  EXPECT_EQ(discs.normals.back().x, 1.0);

  view::Mesh behind; // nothing of what lies behind the eye
  ASSERT_TRUE(view::tessellatePoints(2, vars, FixedView(0.01, {1, 0, 0}, 1.0), behind));
  EXPECT_TRUE(behind.empty());
}
