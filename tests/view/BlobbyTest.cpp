#include "view/Blobby.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "MeshChecks.h"

using namespace viewtest;

namespace {

// A lone leaf's surface lies where (1 - r^2)^3 = 1/2 in its unit space.
const double kRadius = std::sqrt(1 - std::cbrt(0.5));

// An ellipsoid leaf's matrix: the unit sphere scaled by (sx, sy, sz) and moved to (x, y, z).
std::vector<float> ellipsoid(float sx, float sy, float sz, float x, float y, float z) {
  return {sx, 0, 0, 0, 0, sy, 0, 0, 0, 0, sz, 0, x, y, z, 1};
}

view::Mesh blob(const std::vector<RtInt> &code, const std::vector<float> &flt, bool *ok = nullptr,
                const view::PrimVars &vars = {}, double pixel = 0.005) {
  view::BlobbyArgs args;
  args.ncode = static_cast<int>(code.size());
  args.code = code.data();
  args.nflt = static_cast<int>(flt.size());
  args.flt = flt.data();
  view::Mesh mesh;
  const bool done = view::tessellateBlobby(args, vars, FixedView(pixel), mesh);
  if (ok)
    *ok = done;
  else
    EXPECT_TRUE(done);
  EXPECT_TRUE(wellFormed(mesh));
  return mesh;
}

double sphereVolume(double r) { return 4.0 / 3 * M_PI * r * r * r; }

} // namespace

// One ellipsoid: a closed outward surface with the analytic bounds and volume.
TEST(Blobby, LoneEllipsoidHasItsAnalyticBoundsAndVolume) {
  const view::Mesh mesh = blob({1001, 0}, ellipsoid(1, 2, 3, 5, 0, 0));
  EXPECT_TRUE(closed(mesh));
  const Box box = bounds(mesh);
  EXPECT_NEAR(box.hi.x, 5 + kRadius, 0.01);
  EXPECT_NEAR(box.lo.x, 5 - kRadius, 0.01);
  EXPECT_NEAR(box.hi.y, 2 * kRadius, 0.01);
  EXPECT_NEAR(box.lo.z, -3 * kRadius, 0.01);
  EXPECT_NEAR(volume(mesh), 6 * sphereVolume(kRadius), 0.01 * 6 * sphereVolume(kRadius));
}

// A segment leaf is a capsule; the operators combine leaves as their names say.
TEST(Blobby, SegmentsAndOperators) {
  std::vector<float> segment = {0, 0, 0, 2, 0, 0, 1};
  const std::vector<float> identity = ellipsoid(1, 1, 1, 0, 0, 0);
  segment.insert(segment.end(), identity.begin(), identity.end());
  const view::Mesh capsule = blob({1002, 0}, segment);
  EXPECT_TRUE(closed(capsule));
  EXPECT_NEAR(bounds(capsule).hi.x, 2 + kRadius, 0.01);
  const double capsuleVolume = M_PI * kRadius * kRadius * 2 + sphereVolume(kRadius);
  EXPECT_NEAR(volume(capsule), capsuleVolume, 0.01 * capsuleVolume);

  // Two spheres of radius 1 in unit space: 1.2 apart, their maximum is two separate spheres,
  // their product and minimum are empty; 0.6 apart, their sum is one blob larger than both and
  // a minus b is a dented a.
  auto pair = [](float apart) {
    std::vector<float> two = ellipsoid(1, 1, 1, 0, 0, 0);
    const std::vector<float> b = ellipsoid(1, 1, 1, apart, 0, 0);
    two.insert(two.end(), b.begin(), b.end());
    return two;
  };
  const double lone = sphereVolume(kRadius);
  EXPECT_NEAR(volume(blob({1001, 0, 1001, 16, 2, 2, 0, 1}, pair(1.2f))), 2 * lone, 0.03 * lone);
  EXPECT_TRUE(blob({1001, 0, 1001, 16, 1, 2, 0, 1}, pair(1.2f)).empty());
  EXPECT_TRUE(blob({1001, 0, 1001, 16, 3, 2, 0, 1}, pair(1.2f)).empty());
  const view::Mesh sum = blob({1001, 0, 1001, 16, 0, 2, 0, 1}, pair(0.6f));
  EXPECT_TRUE(closed(sum));
  EXPECT_GT(volume(sum), 2.1 * lone); // more than the two spheres, which overlap
  // The same sum through one more operator takes the general way: the same surface.
  EXPECT_NEAR(volume(blob({1001, 0, 1001, 16, 0, 2, 0, 1, 7, 2}, pair(0.6f))), volume(sum), 1e-9);
  const double dented = volume(blob({1001, 0, 1001, 16, 4, 0, 1}, pair(0.6f)));
  EXPECT_LT(dented, 0.8 * lone);
  EXPECT_GT(dented, 0.2 * lone);
  EXPECT_NEAR(volume(blob({1001, 0, 1001, 16, 6, 0, 6, 2}, pair(0.6f))), lone, 0.03 * lone); // --a
}

// Code that reads past its arrays or names a result not yet made adds nothing.
TEST(Blobby, BadCodeAddsNothing) {
  const std::vector<float> one = ellipsoid(1, 1, 1, 0, 0, 0);
  for (const std::vector<RtInt> &code :
       {std::vector<RtInt>{1001, 1}, {1001}, {1001, 0, 0, 2, 0, 1}, {1001, 0, 4, 0}, {99}}) {
    bool ok = true;
    EXPECT_TRUE(blob(code, one, &ok).empty());
    EXPECT_FALSE(ok);
  }
}

// Many leaves apart from each other: each point meets only the leaves near it, and every sphere
// is there whole.
TEST(Blobby, ManySeparateLeavesAreAllThere) {
  std::vector<RtInt> code;
  std::vector<float> flt;
  std::vector<RtInt> operands;
  for (int k = 0; k < 64; ++k) {
    code.insert(code.end(), {1001, RtInt(flt.size())});
    const std::vector<float> m = ellipsoid(1, 1, 1, 2.5f * (k % 4), 2.5f * (k / 4 % 4), 2.5f * (k / 16));
    flt.insert(flt.end(), m.begin(), m.end());
    operands.push_back(k);
  }
  code.insert(code.end(), {0, 64});
  code.insert(code.end(), operands.begin(), operands.end());
  const view::Mesh mesh = blob(code, flt, nullptr, {}, 0.01);
  EXPECT_TRUE(closed(mesh));
  EXPECT_NEAR(volume(mesh), 64 * sphereVolume(kRadius), 0.03 * 64 * sphereVolume(kRadius));
}
