#include "sim/Spring.h"

#include <gtest/gtest.h>

namespace {

void expectVector(Vector3 expected, Vector3 actual) {
  EXPECT_EQ(expected.x, actual.x);
  EXPECT_EQ(expected.y, actual.y);
  EXPECT_EQ(expected.z, actual.z);
}

struct SpringTest : testing::Test {
  MassPoint a{Vector3(0, 0, 0), 0.5};
  MassPoint b{Vector3(1.5, 0, 0), 0.5};
};

TEST_F(SpringTest, RestingSpringExertsNothing) {
  b.position = Vector3(0, 1, 0);
  Spring spring(&a, &b, 1, 600, 0.01);
  spring.computeForces();
  expectVector(Vector3(0, 0, 0), spring.forceA);
  expectVector(Vector3(0, 0, 0), spring.forceB);
}

TEST_F(SpringTest, StretchedPullsAndCompressedPushes) {
  Spring spring(&a, &b, 1, 600, 0);
  spring.computeForces();
  expectVector(Vector3(300, 0, 0), spring.forceA);
  expectVector(Vector3(-300, 0, 0), spring.forceB);

  b.position = Vector3(0.5, 0, 0);
  spring.computeForces();
  expectVector(Vector3(-300, 0, 0), spring.forceA);
  expectVector(Vector3(300, 0, 0), spring.forceB);
  // The ends themselves are left alone.
  expectVector(Vector3(0.5, 0, 0), b.position);
  expectVector(Vector3(0, 0, 0), b.velocity);
}

TEST_F(SpringTest, EachEndIsDampedByItsOwnVelocity) {
  Spring spring(&a, &b, 1, 600, 0.01);
  a.velocity = Vector3(0, 2, 0);
  spring.computeForces();
  expectVector(Vector3(300, -0.02, 0), spring.forceA);
  expectVector(Vector3(-300, 0, 0), spring.forceB);
}

TEST_F(SpringTest, CoincidentEndsFeelOnlyDamping) {
  b.position = a.position;
  a.velocity = Vector3(1, 0, 0);
  b.velocity = Vector3(0, 0, -3);
  Spring spring(&a, &b, 0.75, 600, 0.5);
  spring.computeForces();
  expectVector(Vector3(-0.5, 0, 0), spring.forceA);
  expectVector(Vector3(0, 0, 1.5), spring.forceB);
}

} // namespace
