// The tessellators of quadrics, patches and the teapot, checked by what their meshes must
// satisfy: area, closedness, bounds.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <tuple>

#include "MeshChecks.h"
#include "view/Patches.h"
#include "view/Quadrics.h"
#include "view/Teapot.h"

using namespace viewtest;

namespace {

const double kPi = 3.14159265358979323846;

// Edges used by one non-degenerate triangle only, once equal positions are taken as one point.
int openEdges(const view::Mesh &m) {
  std::map<std::tuple<long, long, long>, int> ids;
  auto id = [&](view::Vec3 p) {
    const auto key =
        std::make_tuple(std::lround(p.x * 1e6), std::lround(p.y * 1e6), std::lround(p.z * 1e6));
    return ids.emplace(key, int(ids.size())).first->second;
  };
  std::map<std::pair<int, int>, int> uses;
  for (size_t t = 0; t < m.triangles.size(); t += 3) {
    const int k[3] = {id(m.positions[m.triangles[t]]), id(m.positions[m.triangles[t + 1]]),
                      id(m.positions[m.triangles[t + 2]])};
    if (k[0] == k[1] || k[1] == k[2] || k[0] == k[2]) continue;
    for (int e = 0; e < 3; ++e)
      ++uses[{std::min(k[e], k[(e + 1) % 3]), std::max(k[e], k[(e + 1) % 3])}];
  }
  int open = 0;
  for (const auto &use : uses) open += use.second == 1;
  return open;
}

void expectWithin(const view::Mesh &m, view::Vec3 lo, view::Vec3 hi) {
  int outside = 0;
  for (const view::Vec3 &p : m.positions)
    outside += p.x < lo.x - 1e-9 || p.y < lo.y - 1e-9 || p.z < lo.z - 1e-9 || p.x > hi.x + 1e-9 ||
               p.y > hi.y + 1e-9 || p.z > hi.z + 1e-9;
  EXPECT_EQ(outside, 0);
}

// Each quadric's area against its formula, closed or open as it should be, within its bounds.
TEST(Quadrics, AreasClosednessAndBounds) {
  const FixedView fine(0.002);
  const view::PrimVars none;
  view::Mesh sphere, torus, cylinder, band, disk, cone, paraboloid;
  view::tessellateSphere(2, -2, 2, 360, none, fine, sphere);
  view::tessellateTorus(1, 0.25, 0, 360, 360, none, fine, torus);
  view::tessellateCylinder(1, -1, 2, 90, none, fine, cylinder); // a quarter
  view::tessellateSphere(1, 0, 0.5, 180, none, fine, band);     // half a band
  view::tessellateDisk(3, 2, 360, none, fine, disk);
  view::tessellateCone(1, 1, 360, none, fine, cone);
  view::tessellateParaboloid(1, 0, 1, 360, none, fine, paraboloid); // z = r^2
  const struct {
    const char *name;
    const view::Mesh &mesh;
    double area, tolerance;
    Vec3 lo, hi;
    bool closed;
  } cases[] = {
      {"sphere", sphere, 4 * kPi * 4, 4 * kPi * 4 * 0.005, {-2, -2, -2}, {2, 2, 2}, true},
      {"torus", torus, 4 * kPi * kPi * 0.25, 0.05, {-1.25, -1.25, -0.25}, {1.25, 1.25, 0.25}, true},
      {"cylinder", cylinder, kPi / 2 * 3, 0.01, {0, 0, -1}, {1, 1, 2}, false},
      {"band", band, kPi * 0.5, 0.01, {-1, 0, 0}, {1, 1, 0.5}, false}, // 2 pi r h over two
      {"disk", disk, 4 * kPi, 0.02, {-2, -2, 3}, {2, 2, 3}, false},
      {"cone", cone, kPi * std::sqrt(2.0), 0.01, {-1, -1, 0}, {1, 1, 1}, false},
      {"paraboloid",
       paraboloid,
       kPi / 6 * (std::pow(5, 1.5) - 1),
       0.01,
       {-1, -1, 0},
       {1, 1, 1},
       false},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_NEAR(area(c.mesh), c.area, c.tolerance);
    EXPECT_EQ(openEdges(c.mesh) == 0, c.closed);
    expectWithin(c.mesh, c.lo, c.hi);
  }

  // Finer pieces where the picture needs them, never a runaway count.
  const FixedView coarse(0.1);
  view::Mesh rough;
  view::tessellateSphere(2, -2, 2, 360, none, coarse, rough);
  EXPECT_LT(rough.triangles.size() * 4, sphere.triangles.size());
  const FixedView tiny(1e-12);
  view::Mesh capped;
  view::tessellateSphere(1, -1, 1, 360, none, tiny, capped);
  EXPECT_LT(capped.triangles.size(), 3u * 256 * 256 * 2 + 1);
}

TEST(Patches, NeighbouringPatchesMeetWithoutCracks) {
  // A flat patch beside a bumpy one that needs many more steps inside: they share the side
  // x = 1 point for point, so that the only open edges are the six sides around both.
  const FixedView fine(0.001);
  view::Mesh both;
  for (int which = 0; which < 2; ++which) {
    std::vector<float> points;
    for (int j = 0; j < 4; ++j)
      for (int i = 0; i < 4; ++i) {
        const bool inside = i > 0 && i < 3 && j > 0 && j < 3;
        points.insert(points.end(), {which + i / 3.0f, j / 3.0f, which && inside ? 2.0f : 0.0f});
      }
    view::PrimVars vars;
    vars.P.values = points.data(), vars.P.components = 3;
    view::PatchMeshArgs args;
    args.bicubic = true, args.nu = args.nv = 4;
    args.ubasis = args.vbasis = RiBezierBasis;
    ASSERT_TRUE(view::tessellatePatchMesh(args, vars, fine, both));
  }
  EXPECT_GT(both.triangles.size(), 3u * 100);
  EXPECT_EQ(openEdges(both), 6);
}

// The teapot stands on z = 0 with +z up, its spout toward +x, within its known bounds; its
// (nearly closed) surface faces out, and its shading normals agree with the triangles' winding.
TEST(Teapot, KnownBoundsFacingOutwardFinerWithSmallerPixels) {
  view::Mesh coarse, fine;
  view::tessellateTeapot(FixedView(0.05), coarse);
  view::tessellateTeapot(FixedView(0.001), fine);
  ASSERT_TRUE(wellFormed(fine));
  ASSERT_EQ(fine.normals.size(), fine.positions.size());
  const Box box = bounds(fine);
  EXPECT_NEAR(box.lo.z, 0, 1e-9);
  EXPECT_NEAR(box.hi.z, 3.15, 1e-9);
  EXPECT_NEAR(box.lo.x, -3.0, 0.1);  // the handle
  EXPECT_NEAR(box.hi.x, 3.43, 0.1);  // the spout's tip
  EXPECT_NEAR(box.lo.y, -2.0, 1e-9); // the body's widest ring
  EXPECT_NEAR(box.hi.y, 2.0, 1e-9);
  EXPECT_GT(fine.triangles.size(), 4 * coarse.triangles.size());
  EXPECT_GT(volume(fine), 20.0);
  EXPECT_NEAR(volume(fine), volume(coarse), 0.05 * volume(fine));
  double agreeing = 0;
  for (size_t t = 0; t < fine.triangles.size(); t += 3) {
    const Vec3 a = fine.positions[fine.triangles[t]], b = fine.positions[fine.triangles[t + 1]],
               c = fine.positions[fine.triangles[t + 2]];
    agreeing += view::dot(view::normalized(view::cross(b - a, c - a)),
                          fine.normals[fine.triangles[t]]) > 0.5;
  }
  EXPECT_GT(agreeing / (fine.triangles.size() / 3.0), 0.99);
}

} // namespace
