#include "sim/SphereObstacle.h"

#include <gtest/gtest.h>

#include "sim/MassPoint.h"

// Spheres are made with new, like the world's: they and their quadrics live until exit.
namespace {

void expectVector(Vector3 expected, Vector3 actual) {
  EXPECT_EQ(expected.x, actual.x);
  EXPECT_EQ(expected.y, actual.y);
  EXPECT_EQ(expected.z, actual.z);
}

TEST(SphereObstacleTest, ContactSphereIsSlightlyLargerThanTheDrawnOne) {
  SphereObstacle &sphere = *new SphereObstacle(Vector3(0, -2, 0), 1.0);
  EXPECT_EQ(1.0, sphere.radius);
  EXPECT_EQ(1.05, sphere.contactRadius);
  EXPECT_EQ(1.05 * 1.05, sphere.contactRadiusSquared);
  EXPECT_NE(nullptr, sphere.quadric); // made without any GL context

  EXPECT_TRUE(sphere.contains(Vector3(0, -2, 0)));
  EXPECT_TRUE(sphere.contains(Vector3(0, -0.97, 0))); // outside the drawn sphere
  EXPECT_FALSE(sphere.contains(Vector3(0, -0.9, 0)));
  EXPECT_FALSE(sphere.contains(Vector3(0.8, -1.2, 0.3)));

  SphereObstacle &dot = *new SphereObstacle(Vector3(0, 0, 0), 0.0);
  EXPECT_EQ(0.05, dot.contactRadius);
  EXPECT_TRUE(dot.contains(Vector3(0.05, 0, 0)));
}

TEST(SphereObstacleTest, BoundaryIsInside) {
  // Squared distance exactly equal to contactRadiusSquared counts as contact.
  SphereObstacle &sphere = *new SphereObstacle(Vector3(0, 0, 0), 1.0);
  sphere.contactRadiusSquared = 4.0;
  EXPECT_TRUE(sphere.contains(Vector3(0, 2, 0)));
  EXPECT_FALSE(sphere.contains(Vector3(0, 2.0000000001, 0)));
}

TEST(SphereObstacleTest, NormalPointsAwayFromTheCentre) {
  SphereObstacle &sphere = *new SphereObstacle(Vector3(1.5, 2, 0), 1.0);
  expectVector(Vector3(0, 1, 0), sphere.normalAt(Vector3(1.5, 3, 0), Vector3(5, -7, 1)));
  expectVector(Vector3(-0.6, 0, 0.8), sphere.normalAt(Vector3(-1.5, 2, 4), Vector3(0, 0, 0)));
  expectVector(Vector3(0, 0, 0), sphere.normalAt(Vector3(1.5, 2, 0), Vector3(1, 1, 1)));
}

TEST(SphereObstacleTest, BaseObstacleTouchesNothing) {
  Obstacle base;
  EXPECT_FALSE(base.contains(Vector3(0, 0, 0)));
  expectVector(Vector3(1, 2, 3), base.normalAt(Vector3(1, 2, 3), Vector3(4, 5, 6)));
}

} // namespace
