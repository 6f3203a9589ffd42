// Blobby: implicit surfaces closed around their analytic shapes; bad code and numbers add nothing.
#include "view/Blobby.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>
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

view::Mesh blob(const std::vector<RtInt> &code, const std::vector<float> &flt, bool *ok = nullptr) {
  view::BlobbyArgs args;
  args.ncode = static_cast<int>(code.size());
  args.code = code.data();
  args.nflt = static_cast<int>(flt.size());
  args.flt = flt.data();
  view::Mesh mesh;
  const bool done = view::tessellateBlobby(args, {}, FixedView(0.005), mesh);
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

// Code that reads past its arrays or names a result not yet made, a leaf beyond any number, or
// a leaf of infinite size adds nothing.
TEST(Blobby, BadCodeAddsNothing) {
  const std::vector<float> one = ellipsoid(1, 1, 1, 0, 0, 0);
  std::vector<float> endless = one;
  endless[0] = std::numeric_limits<float>::infinity();
  const std::pair<std::vector<RtInt>, std::vector<float>> cases[] = {
      {{1001, 1}, one},       {{1001}, one}, {{1001, 0, 0, 2, 0, 1}, one},
      {{1001, 0, 4, 0}, one}, {{99}, one},   {{1001, 0}, endless}};
  for (const auto &[code, flt] : cases) {
    bool ok = true;
    EXPECT_TRUE(blob(code, flt, &ok).empty());
    EXPECT_FALSE(ok);
  }
}
