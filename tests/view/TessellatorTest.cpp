// The tessellators, checked by what their meshes must satisfy: area, closedness, bounds.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <tuple>

#include "view/Patches.h"
#include "view/Polygons.h"
#include "view/Quadrics.h"
#include "view/Triangulate.h"

namespace {

const double kPi = 3.14159265358979323846;

// A view that wants pieces of `pixel` object units everywhere.
struct FixedView : view::ViewSpace {
  double pixel;
  explicit FixedView(double pixel) : pixel(pixel) {}
  double pixelSize(view::Vec3) const override { return pixel; }
  view::Vec3 towardEye(view::Vec3) const override { return {0, 0, -1}; }
};

double area(const view::Mesh &m) {
  double sum = 0;
  for (size_t t = 0; t < m.triangles.size(); t += 3) {
    const view::Vec3 a = m.positions[m.triangles[t]], b = m.positions[m.triangles[t + 1]],
                     c = m.positions[m.triangles[t + 2]];
    sum += 0.5 * view::length(view::cross(b - a, c - a));
  }
  return sum;
}

// Edges used by one non-degenerate triangle only, once equal positions are taken as one point.
int openEdges(const view::Mesh &m) {
  std::map<std::tuple<long, long, long>, int> ids;
  auto id = [&](view::Vec3 p) {
    const auto key = std::make_tuple(std::lround(p.x * 1e6), std::lround(p.y * 1e6), std::lround(p.z * 1e6));
    return ids.emplace(key, int(ids.size())).first->second;
  };
  std::map<std::pair<int, int>, int> uses;
  for (size_t t = 0; t < m.triangles.size(); t += 3) {
    const int k[3] = {id(m.positions[m.triangles[t]]), id(m.positions[m.triangles[t + 1]]),
                      id(m.positions[m.triangles[t + 2]])};
    if (k[0] == k[1] || k[1] == k[2] || k[0] == k[2]) continue;
    for (int e = 0; e < 3; ++e) ++uses[{std::min(k[e], k[(e + 1) % 3]), std::max(k[e], k[(e + 1) % 3])}];
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

TEST(Quadrics, AreasClosednessAndBounds) {
  const FixedView fine(0.002);
  const view::PrimVars none;
  view::Mesh sphere;
  view::tessellateSphere(2, -2, 2, 360, none, fine, sphere);
  EXPECT_NEAR(area(sphere), 4 * kPi * 4, 4 * kPi * 4 * 0.005);
  EXPECT_EQ(openEdges(sphere), 0);
  expectWithin(sphere, {-2, -2, -2}, {2, 2, 2});

  view::Mesh torus;
  view::tessellateTorus(1, 0.25, 0, 360, 360, none, fine, torus);
  EXPECT_NEAR(area(torus), 4 * kPi * kPi * 0.25, 0.05);
  EXPECT_EQ(openEdges(torus), 0);
  expectWithin(torus, {-1.25, -1.25, -0.25}, {1.25, 1.25, 0.25});

  // Sweeps and height limits: a quarter cylinder, a half sphere band, a disk.
  view::Mesh cylinder, band, disk, cone, paraboloid;
  view::tessellateCylinder(1, -1, 2, 90, none, fine, cylinder);
  EXPECT_NEAR(area(cylinder), kPi / 2 * 3, 0.01);
  expectWithin(cylinder, {0, 0, -1}, {1, 1, 2});
  view::tessellateSphere(1, 0, 0.5, 180, none, fine, band);
  EXPECT_NEAR(area(band), kPi * 0.5, 0.01); // 2 pi r h over two
  expectWithin(band, {-1, 0, 0}, {1, 1, 0.5});
  view::tessellateDisk(3, 2, 360, none, fine, disk);
  EXPECT_NEAR(area(disk), 4 * kPi, 0.02);
  view::tessellateCone(1, 1, 360, none, fine, cone);
  EXPECT_NEAR(area(cone), kPi * std::sqrt(2.0), 0.01);
  view::tessellateParaboloid(1, 0, 1, 360, none, fine, paraboloid);
  expectWithin(paraboloid, {-1, -1, 0}, {1, 1, 1});

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

TEST(Polygons, GeneralPolygonsKeepTheirArea) {
  // A comb (non-convex) with two holes, wound clockwise: area 7 - 2 * 0.25.
  const float p[] = {0, 0, 0, 0, 3, 0, 1, 3, 0, 1, 1, 0, 2, 1, 0, 2, 3, 0, 3, 3, 0, 3, 0, 0,
                     0.25f, 0.25f, 0, 0.75f, 0.25f, 0, 0.75f, 0.75f, 0, 0.25f, 0.75f, 0,
                     2.25f, 0.25f, 0, 2.75f, 0.25f, 0, 2.75f, 0.75f, 0, 2.25f, 0.75f, 0};
  const RtInt loops[] = {3}, counts[] = {8, 4, 4};
  view::PrimVars vars;
  vars.P.values = p, vars.P.components = 3;
  view::PolygonsArgs args;
  args.nloops = loops, args.nvertices = counts, args.general = true;
  view::Mesh mesh;
  ASSERT_TRUE(view::tessellatePolygons(args, vars, mesh));
  EXPECT_NEAR(area(mesh), 7 - 0.5, 1e-9);
  // Every triangle wound as the outer loop (clockwise seen from +z: normal along -z).
  for (size_t t = 0; t < mesh.triangles.size(); t += 3) {
    const view::Vec3 a = mesh.positions[mesh.triangles[t]], b = mesh.positions[mesh.triangles[t + 1]],
                     c = mesh.positions[mesh.triangles[t + 2]];
    EXPECT_LE(view::cross(b - a, c - a).z, 1e-12);
  }

  // Star polygons of few and many points (the reflex corners are found through a grid).
  for (int points : {5, 17, 101, 20000}) {
    std::vector<view::Vec2> star;
    double expected = 0;
    for (int k = 0; k < 2 * points; ++k) {
      const double r = k % 2 ? 0.4 : 1, a = kPi * k / points;
      star.push_back({r * std::cos(a), r * std::sin(a)});
    }
    for (size_t i = 0, j = star.size() - 1; i < star.size(); j = i++)
      expected += 0.5 * (star[j].x * star[i].y - star[i].x * star[j].y);
    const std::vector<uint32_t> cut = view::triangulate({star});
    double sum = 0;
    for (size_t t = 0; t < cut.size(); t += 3) {
      const view::Vec2 a = star[cut[t]], b = star[cut[t + 1]], c = star[cut[t + 2]];
      sum += 0.5 * ((b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y));
    }
    EXPECT_NEAR(sum, expected, 1e-9) << points;
    EXPECT_EQ(cut.size(), 3u * (star.size() - 2));
  }
}

TEST(Polygons, DegenerateLoopsEndWithoutHarm) {
  // Collinear points, repeated points, a bow tie, a hole touching its outer loop, a hole outside
  // it: each is cut into at most n - 2 + 2 h triangles, and nothing runs forever.
  const std::vector<std::vector<std::vector<view::Vec2>>> cases = {
      {{{0, 0}, {1, 0}, {2, 0}, {3, 0}}},
      {{{0, 0}, {0, 0}, {1, 0}, {1, 0}, {1, 1}, {1, 1}}},
      {{{0, 0}, {1, 1}, {1, 0}, {0, 1}}},
      {{{0, 0}, {2, 0}, {2, 2}, {0, 2}}, {{0, 0}, {1, 0}, {1, 1}}},
      {{{0, 0}, {1, 0}, {1, 1}, {0, 1}}, {{5, 5}, {6, 5}, {6, 6}}},
  };
  for (const auto &loops : cases) {
    size_t points = 0;
    for (const auto &loop : loops) points += loop.size();
    const std::vector<uint32_t> cut = view::triangulate(loops);
    EXPECT_LE(cut.size(), 3 * (points - 2 + 2 * (loops.size() - 1)));
    for (uint32_t index : cut) EXPECT_LT(index, points);
  }
}

TEST(Patches, BasesStepsAndWrapping) {
  const FixedView fine(0.001);
  // A bicubic Bezier patch with its control points on the unit square is the square.
  std::vector<float> flat;
  for (int j = 0; j < 4; ++j)
    for (int i = 0; i < 4; ++i) flat.insert(flat.end(), {i / 3.0f, j / 3.0f, 0});
  view::PrimVars vars;
  vars.P.values = flat.data(), vars.P.components = 3;
  view::PatchMeshArgs args;
  args.bicubic = true, args.nu = args.nv = 4;
  args.ubasis = args.vbasis = RiBezierBasis;
  view::Mesh square;
  ASSERT_TRUE(view::tessellatePatchMesh(args, vars, fine, square));
  EXPECT_NEAR(area(square), 1, 1e-9);

  // A B-spline mesh periodic in u around a circle of 8 points, 4 rows up z: a closed tube whose
  // radius stays inside the control circle.
  std::vector<float> ring;
  for (int j = 0; j < 4; ++j)
    for (int i = 0; i < 8; ++i)
      ring.insert(ring.end(), {float(std::cos(kPi * i / 4)), float(std::sin(kPi * i / 4)), float(j)});
  vars.P.values = ring.data();
  args.nu = 8, args.uPeriodic = true;
  args.ubasis = args.vbasis = RiBSplineBasis;
  args.ustep = args.vstep = 1;
  view::Mesh tube;
  ASSERT_TRUE(view::tessellatePatchMesh(args, vars, fine, tube));
  expectWithin(tube, {-1, -1, 0}, {1, 1, 3});
  // Open only at its two ends: the seam between the first and last patch is shared.
  int top = 0;
  for (const view::Vec3 &p : tube.positions) top += std::fabs(p.z - 2) < 1e-6;
  EXPECT_GT(top, 0);
  view::Mesh bilinear;
  const float quad[] = {0, 0, 0, 2, 0, 0, 0, 1, 0, 2, 1, 0};
  vars.P.values = quad;
  view::PatchMeshArgs two;
  ASSERT_TRUE(view::tessellatePatchMesh(two, vars, fine, bilinear));
  EXPECT_NEAR(area(bilinear), 2, 1e-9);
  EXPECT_EQ(openEdges(bilinear) > 0, true);
}

} // namespace
