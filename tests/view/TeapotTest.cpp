#include "view/Teapot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "MeshChecks.h"

using namespace viewtest;

// The teapot stands on z = 0 with +z up, its spout toward +x, and is mirror-symmetric in y; a
// mistyped control point or patch index breaks the symmetry or the bounds.
TEST(Teapot, StandsUpMirrorSymmetricWithinItsKnownBounds) {
  view::Mesh mesh;
  view::tessellateTeapot(FixedView(0.01), mesh);
  ASSERT_TRUE(wellFormed(mesh));
  ASSERT_EQ(mesh.normals.size(), mesh.positions.size());
  const Box box = bounds(mesh);
  EXPECT_NEAR(box.lo.z, 0, 1e-9);
  EXPECT_NEAR(box.hi.z, 3.15, 1e-9);
  EXPECT_NEAR(box.lo.x, -3.0, 0.1);  // the handle
  EXPECT_NEAR(box.hi.x, 3.43, 0.1);  // the spout's tip
  EXPECT_NEAR(box.lo.y, -2.0, 1e-9); // the body's widest ring
  EXPECT_NEAR(box.hi.y, 2.0, 1e-9);

  std::vector<Vec3> points = mesh.positions;
  auto byX = [](const Vec3 &a, const Vec3 &b) { return a.x < b.x; };
  std::sort(points.begin(), points.end(), byX);
  size_t unmatched = 0;
  for (const Vec3 &p : points) {
    const Vec3 m{p.x, -p.y, p.z};
    auto it = std::lower_bound(points.begin(), points.end(), Vec3{m.x - 1e-9, 0, 0}, byX);
    bool found = false;
    for (; it != points.end() && it->x <= m.x + 1e-9 && !found; ++it)
      found = view::length(*it - m) < 1e-9;
    unmatched += !found;
  }
  EXPECT_EQ(unmatched, 0u);
}

// Its surface faces out: the (nearly closed) surface encloses a positive volume, and the shading
// normals agree with the triangles' winding.
TEST(Teapot, FacesOutwardAndGetsFinerWithSmallerPixels) {
  view::Mesh coarse, fine;
  view::tessellateTeapot(FixedView(0.05), coarse);
  view::tessellateTeapot(FixedView(0.001), fine);
  EXPECT_GT(fine.triangles.size(), 4 * coarse.triangles.size());
  EXPECT_GT(volume(fine), 20.0);
  EXPECT_NEAR(volume(fine), volume(coarse), 0.05 * volume(fine));
  double agreeing = 0;
  for (size_t t = 0; t < fine.triangles.size(); t += 3) {
    const Vec3 a = fine.positions[fine.triangles[t]], b = fine.positions[fine.triangles[t + 1]],
               c = fine.positions[fine.triangles[t + 2]];
    agreeing += view::dot(view::normalized(view::cross(b - a, c - a)), fine.normals[fine.triangles[t]]) > 0.5;
  }
  EXPECT_GT(agreeing / (fine.triangles.size() / 3.0), 0.99);
}
