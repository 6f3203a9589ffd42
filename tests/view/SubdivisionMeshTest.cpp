// SubdivisionMesh: the limit surface closed, converging, sharp along creases, empty in holes;
// our own refinement against OpenSubdiv's.
#include "view/SubdivisionMesh.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "MeshChecks.h"
#include "view/SubdivisionRefiner.h"

using namespace viewtest;

namespace {

// The cube [-1, 1]^3 as six outward quads.
const std::vector<float> kCubePoints = {-1, -1, -1, 1, -1, -1, 1, 1, -1, -1, 1, -1,
                                        -1, -1, 1,  1, -1, 1,  1, 1, 1,  -1, 1, 1};
const std::vector<RtInt> kCubeSizes = {4, 4, 4, 4, 4, 4};
const std::vector<RtInt> kCubeFaces = {0, 3, 2, 1, 4, 5, 6, 7, 0, 1, 5, 4,
                                       1, 2, 6, 5, 2, 3, 7, 6, 3, 0, 4, 7};

// A flat 3 by 3 grid of unit quads in z = 0, points 4 per row.
std::vector<float> gridPoints() {
  std::vector<float> p;
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) p.insert(p.end(), {float(x), float(y), 0});
  return p;
}
std::vector<RtInt> gridFaces() {
  std::vector<RtInt> f;
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x)
      f.insert(f.end(), {y * 4 + x, y * 4 + x + 1, y * 4 + x + 5, y * 4 + x + 4});
  return f;
}

struct Tags {
  std::vector<RtToken> names;
  std::vector<RtInt> nargs, ints;
  std::vector<RtFloat> floats;
  void add(const char *name, std::vector<RtInt> i, std::vector<RtFloat> f) {
    names.push_back(const_cast<RtToken>(name));
    nargs.insert(nargs.end(), {RtInt(i.size()), RtInt(f.size())});
    ints.insert(ints.end(), i.begin(), i.end());
    floats.insert(floats.end(), f.begin(), f.end());
  }
};

view::Mesh subdivide(const std::vector<float> &points, const std::vector<RtInt> &sizes,
                     const std::vector<RtInt> &faces, const Tags &tags, double pixel = 0.005) {
  view::SubdivisionMeshArgs args;
  args.nfaces = static_cast<int>(sizes.size());
  args.nvertices = sizes.data();
  args.vertices = faces.data();
  args.ntags = static_cast<int>(tags.names.size());
  args.tags = tags.names.data();
  args.nargs = tags.nargs.data();
  args.intargs = tags.ints.data();
  args.floatargs = tags.floats.data();
  view::PrimVars vars;
  vars.P = {view::VarClass::Vertex, points.data(), 3};
  view::Mesh mesh;
  EXPECT_TRUE(view::tessellateSubdivisionMesh(args, vars, FixedView(pixel), mesh));
  EXPECT_TRUE(wellFormed(mesh));
  return mesh;
}

} // namespace

// The smooth cube is a closed, outward surface inside its cage that converges as it is refined;
// one sharp edge keeps more of the cube, and a hole takes its face away.
TEST(SubdivisionMesh, SmoothClosedCreasesSharpHolesEmpty) {
  const view::Mesh coarse = subdivide(kCubePoints, kCubeSizes, kCubeFaces, {}, 0.05);
  const view::Mesh fine = subdivide(kCubePoints, kCubeSizes, kCubeFaces, {}, 0.002);
  EXPECT_TRUE(closed(fine));
  EXPECT_GT(fine.triangles.size(), coarse.triangles.size());
  const Box box = bounds(fine);
  EXPECT_LT(box.hi.x, 1.0);
  EXPECT_GT(box.hi.x, 0.5);
  EXPECT_GT(volume(fine), 4.0 / 3 * M_PI * 0.5 * 0.5 * 0.5);
  EXPECT_LT(volume(fine), 8.0);
  EXPECT_NEAR(area(fine), area(coarse), 0.01 * area(fine)); // both near the limit's

  Tags oneEdge;
  oneEdge.add("crease", {0, 1}, {10});
  const view::Mesh creased = subdivide(kCubePoints, kCubeSizes, kCubeFaces, oneEdge, 0.002);
  EXPECT_GT(volume(creased), volume(fine) + 0.1);
  auto reachTowardEdge = [](const view::Mesh &m) { // the edge from (-1,-1,-1) to (1,-1,-1)
    double reach = 0;
    for (const Vec3 &p : m.positions) reach = std::max(reach, -(p.y + p.z) / std::sqrt(2.0));
    return reach;
  };
  EXPECT_GT(reachTowardEdge(creased), reachTowardEdge(fine) + 0.1);

  // An open flat grid under interpolateboundary: the limit covers all but the face a hole takes.
  const std::vector<float> points = gridPoints();
  const std::vector<RtInt> sizes(9, 4), faces = gridFaces();
  Tags holed;
  holed.add("interpolateboundary", {}, {});
  holed.add("hole", {4}, {});
  const view::Mesh mesh = subdivide(points, sizes, faces, holed);
  EXPECT_NEAR(area(mesh), 8.0, 1e-6);
  EXPECT_NEAR(bounds(mesh).lo.x, 0.0, 1e-9);
  EXPECT_NEAR(bounds(mesh).hi.y, 3.0, 1e-9);
}

// Our own refinement (the browser's) agrees with OpenSubdiv's: the same quads, the same limit
// where the rules are the classic ones, and exact where every edge is sharp.
TEST(SubdivisionMesh, OwnRefinementAgreesWithTheLibrary) {
  view::SubdivisionTopology cube;
  cube.npoints = 8;
  cube.faceSizes.assign(kCubeSizes.begin(), kCubeSizes.end());
  cube.faceVertices.assign(kCubeFaces.begin(), kCubeFaces.end());
  auto surfaceOf = [](const view::RefinedSurface &s) {
    view::Mesh m;
    m.positions = s.points;
    for (size_t q = 0; q < s.quads.size(); q += 4)
      m.triangles.insert(m.triangles.end(), {uint32_t(s.quads[q]), uint32_t(s.quads[q + 1]),
                                             uint32_t(s.quads[q + 2]), uint32_t(s.quads[q]),
                                             uint32_t(s.quads[q + 2]), uint32_t(s.quads[q + 3])});
    return m;
  };
  for (float sharpness : {0.f, 1.5f, 10.f}) {
    view::SubdivisionTopology t = cube;
    for (int f = 0; f < 4 && sharpness > 0; ++f) { // the four edges of the bottom face
      t.creaseEdges.insert(t.creaseEdges.end(), {kCubeFaces[f], kCubeFaces[(f + 1) % 4]});
      t.creaseSharpness.push_back(sharpness);
    }
    view::RefinedSurface library, own;
    ASSERT_TRUE(view::refineSubdivision(t, kCubePoints.data(), 4, {}, library));
    ASSERT_TRUE(view::refineSubdivisionOwn(t, kCubePoints.data(), 4, {}, own));
    ASSERT_EQ(own.quads.size(), library.quads.size());
    const view::Mesh a = surfaceOf(library), b = surfaceOf(own);
    EXPECT_TRUE(closed(b));
    EXPECT_NEAR(volume(a), volume(b), 1e-4 * volume(a)) << "sharpness " << sharpness;
    EXPECT_NEAR(area(a), area(b), 1e-4 * area(a)) << "sharpness " << sharpness;
    EXPECT_NEAR(bounds(a).lo.z, bounds(b).lo.z, 0.01) << "sharpness " << sharpness;
  }
}
