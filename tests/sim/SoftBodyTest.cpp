#include "sim/SoftBody.h"

#include <cmath>
#include <map>
#include <set>
#include <utility>

#include <deque>

#include <gtest/gtest.h>

#include "ConsoleCapture.h"

namespace {

const char *const kProgressLines = "blorp: initialing members...\n"
                                   "blorp: initialize nodes array with actual nodes...\n"
                                   "initializing springs...\n"
                                   "initializing faces...\n"
                                   "blorp has been created\n";

// Bodies stay alive for the whole test program, as in the demo.
SoftBody &makeBody(int cx, int cy, int cz, double spacing = 0.75) {
  static std::deque<SoftBody> bodies;
  ConsoleCapture quiet;
  return bodies.emplace_back(cx, cy, cz, spacing, 600.0, 0.01, 0.5);
}

void expectVector(Vector3 expected, Vector3 actual) {
  EXPECT_EQ(expected.x, actual.x);
  EXPECT_EQ(expected.y, actual.y);
  EXPECT_EQ(expected.z, actual.z);
}

// Springs counted by rest length: edges, face diagonals, cell diagonals.
std::map<double, int> springsByLength(const SoftBody &body) {
  std::map<double, int> counts;
  for (Spring *s : body.springs) ++counts[s->restLength];
  return counts;
}

TEST(SoftBodyTest, ConstructionPrintsFiveProgressLines) {
  ConsoleCapture out;
  SoftBody body(6, 1, 2, 0.75, 600.0, 0.01, 0.5);
  EXPECT_EQ(kProgressLines, out.text());
}

TEST(SoftBodyTest, WorldSizedBodyHasItsLatticeAndSprings) {
  SoftBody &body = makeBody(6, 1, 2);
  EXPECT_EQ(7, body.nodesX);
  EXPECT_EQ(2, body.nodesY);
  EXPECT_EQ(3, body.nodesZ);
  EXPECT_TRUE(body.elastic);
  EXPECT_FALSE(body.gravityOn);
  EXPECT_EQ(nullptr, body.obstacles);
  EXPECT_EQ(-4.0, body.floorY);
  EXPECT_EQ(-4.0, body.wallMinX);
  EXPECT_EQ(4.0, body.wallMaxX);
  expectVector(Vector3(-2.25, -0.375, -0.75), body.nodes[0][0][0]->position);
  expectVector(Vector3(2.25, 0.375, 0.75), body.nodes[6][1][2]->position);

  ASSERT_EQ(245u, body.springs.size());
  std::map<double, int> counts = springsByLength(body);
  EXPECT_EQ(85, counts[0.75]);
  EXPECT_EQ(48, counts[std::sqrt(3.0 * 0.75 * 0.75)]);
  EXPECT_EQ(112, counts[std::sqrt(2.0 * 0.75 * 0.75)]);
  // The passes come one after the other: edges, cell diagonals, face diagonals.
  EXPECT_EQ(0.75, body.springs[84]->restLength);
  EXPECT_EQ(std::sqrt(3.0 * 0.75 * 0.75), body.springs[85]->restLength);
  EXPECT_EQ(std::sqrt(3.0 * 0.75 * 0.75), body.springs[132]->restLength);
  EXPECT_EQ(std::sqrt(2.0 * 0.75 * 0.75), body.springs[133]->restLength);
  for (Spring *s : body.springs) {
    EXPECT_EQ(600.0, s->stiffness);
    EXPECT_EQ(0.01, s->damping);
  }
}

TEST(SoftBodyTest, SpringsFollowTheLatticeOrder) {
  SoftBody &body = makeBody(6, 1, 2);
  auto node = [&](int i, int j, int k) { return body.nodes[i][j][k]; };
  auto expectSpring = [&](size_t index, MassPoint *a, MassPoint *b) {
    EXPECT_EQ(a, body.springs[index]->a) << "spring " << index;
    EXPECT_EQ(b, body.springs[index]->b) << "spring " << index;
  };
  // Edges of node (0,0,0): along x, y, z; then node (0,0,1).
  expectSpring(0, node(0, 0, 0), node(1, 0, 0));
  expectSpring(1, node(0, 0, 0), node(0, 1, 0));
  expectSpring(2, node(0, 0, 0), node(0, 0, 1));
  expectSpring(3, node(0, 0, 1), node(1, 0, 1));
  // The four diagonals of cell (0,0,0).
  expectSpring(85, node(0, 0, 0), node(1, 1, 1));
  expectSpring(86, node(1, 0, 0), node(0, 1, 1));
  expectSpring(87, node(1, 0, 1), node(0, 1, 0));
  expectSpring(88, node(0, 0, 1), node(1, 1, 0));
  // Face diagonals of node (0,0,0): x-y square, y-z square, x-z square.
  expectSpring(133, node(0, 0, 0), node(1, 1, 0));
  expectSpring(134, node(1, 0, 0), node(0, 1, 0));
  expectSpring(135, node(0, 0, 0), node(0, 1, 1));
  expectSpring(136, node(0, 0, 1), node(0, 1, 0));
  expectSpring(137, node(0, 0, 0), node(1, 0, 1));
  expectSpring(138, node(0, 0, 1), node(1, 0, 0));
}

TEST(SoftBodyTest, EveryPointKnowsItsSpringsAndEnds) {
  SoftBody &body = makeBody(6, 1, 2);
  std::set<MassPoint *> seen;
  size_t endsTotal = 0;
  for (auto &plane : body.nodes)
    for (auto &row : plane)
      for (MassPoint *p : row) {
        EXPECT_TRUE(seen.insert(p).second);
        ASSERT_EQ(p->springs.size(), p->springEnds.size());
        for (size_t n = 0; n < p->springs.size(); ++n) {
          Spring *s = p->springs[n];
          EXPECT_EQ(p, p->springEnds[n] == 1 ? s->a : s->b);
          EXPECT_EQ(p->springEnds[n] == 1, s->a == p);
        }
        endsTotal += p->springs.size();
      }
  EXPECT_EQ(42u, seen.size());
  EXPECT_EQ(2 * body.springs.size(), endsTotal);
  // No pair of nodes is joined twice.
  std::set<std::pair<MassPoint *, MassPoint *>> pairs;
  for (Spring *s : body.springs) EXPECT_TRUE(pairs.insert(std::minmax(s->a, s->b)).second);
}

TEST(SoftBodyTest, UnitCubeJoinsEveryPairOfCorners) {
  SoftBody &cube = makeBody(1, 1, 1, 2.0);
  EXPECT_EQ(28u, cube.springs.size());
  std::map<double, int> counts = springsByLength(cube);
  EXPECT_EQ(12, counts[2.0]);
  EXPECT_EQ(12, counts[std::sqrt(2.0 * 2.0 * 2.0)]);
  EXPECT_EQ(4, counts[std::sqrt(3.0 * 2.0 * 2.0)]);
  for (auto &plane : cube.nodes)
    for (auto &row : plane)
      for (MassPoint *p : row) EXPECT_EQ(7u, p->springs.size());
}

TEST(SoftBodyTest, DegenerateLattices) {
  SoftBody &rowBody = makeBody(6, 0, 0, 1.0);
  EXPECT_FALSE(rowBody.elastic);
  ASSERT_EQ(7u, rowBody.nodes.size());
  EXPECT_EQ(6u, rowBody.springs.size());
  for (int i = 0; i < 7; ++i)
    expectVector(Vector3(i - 3.0, 0, 0), rowBody.nodes[i][0][0]->position);
  for (int f = 2; f < 6; ++f) {
    ASSERT_EQ(1u, rowBody.faces[f].size()) << "face " << f;
    EXPECT_EQ(7u, rowBody.faces[f][0].size()) << "face " << f;
  }

  SoftBody &single = makeBody(0, 0, 0);
  EXPECT_FALSE(single.elastic);
  EXPECT_TRUE(single.springs.empty());
  expectVector(Vector3(0, 0, 0), single.nodes[0][0][0]->position);
  single.enableGravity();
  single.computeSpringForces();
  single.integrate(0.005);
  EXPECT_LT(single.nodes[0][0][0]->position.y, 0.0);
}

TEST(SoftBodyTest, NegativeCellCountGivesAnEmptyBody) {
  ConsoleCapture errors(std::cerr);
  SoftBody &body = makeBody(3, -2, 1);
  EXPECT_NE(std::string::npos, errors.text().find("negative cell count"));
  EXPECT_TRUE(body.nodes.empty());
  EXPECT_TRUE(body.springs.empty());
  body.push(0);
  body.push(1);
  body.push(2);
  body.fixNode(0, 0, 0);
  body.computeSpringForces();
  body.integrate(0.005);
}

TEST(SoftBodyTest, FacesListTheSixSidesRowByRow) {
  SoftBody &body = makeBody(6, 1, 2);
  struct Expected {
    size_t rows, perRow;
  } shape[6] = {{2, 3}, {2, 3}, {3, 7}, {3, 7}, {2, 7}, {2, 7}};
  for (int f = 0; f < 6; ++f) {
    ASSERT_EQ(shape[f].rows, body.faces[f].size()) << "face " << f;
    for (auto &row : body.faces[f]) EXPECT_EQ(shape[f].perRow, row.size()) << "face " << f;
  }
  EXPECT_EQ(body.nodes[0][1][2], body.faces[0][1][2]);
  EXPECT_EQ(body.nodes[6][1][0], body.faces[1][1][0]);
  EXPECT_EQ(body.nodes[4][0][2], body.faces[2][2][4]);
  EXPECT_EQ(body.nodes[4][1][2], body.faces[3][2][4]);
  EXPECT_EQ(body.nodes[5][1][2], body.faces[4][1][5]);
  EXPECT_EQ(body.nodes[5][1][0], body.faces[5][1][5]);
}

TEST(SoftBodyTest, PushKicksOneFaceOnce) {
  SoftBody &body = makeBody(6, 1, 2);
  std::map<MassPoint *, Vector3> expected;
  for (int j = 0; j < 2; ++j)
    for (int k = 0; k < 3; ++k) {
      expected[body.nodes[0][j][k]] = Vector3(450, 0, 0); // pushed twice
      expected[body.nodes[6][j][k]] = Vector3(-225, 0, 0);
    }
  for (int i = 0; i < 7; ++i)
    for (int k = 0; k < 3; ++k) {
      Vector3 &v = expected.emplace(body.nodes[i][0][k], Vector3(0, 0, 0)).first->second;
      v.y += 225;
    }
  body.push(0);
  body.push(0);
  body.push(1);
  body.push(2);
  body.push(3); // not a mode: ignored
  body.push(-1);
  for (auto &plane : body.nodes)
    for (auto &row : plane)
      for (MassPoint *p : row) {
        auto it = expected.find(p);
        expectVector(it == expected.end() ? Vector3(0, 0, 0) : it->second, p->pushForce);
      }
}

TEST(SoftBodyTest, AssignmentSharesThePointsAndSprings) {
  SoftBody &source = makeBody(2, 1, 1);
  SoftBody copy;
  EXPECT_TRUE(copy.nodes.empty());
  copy = source;
  EXPECT_EQ(source.nodes[1][1][1], copy.nodes[1][1][1]);
  EXPECT_EQ(source.springs, copy.springs);
  EXPECT_EQ(source.faces[3], copy.faces[3]);
  copy.fixNode(1, 1, 1);
  EXPECT_TRUE(source.nodes[1][1][1]->fixed);
  copy.fixNode(9, 0, 0); // outside the lattice: ignored
}

} // namespace
