#include "sim/MassPoint.h"

#include <gtest/gtest.h>

#include "sim/Spring.h"

namespace {

void expectVector(Vector3 expected, Vector3 actual) {
  EXPECT_EQ(expected.x, actual.x);
  EXPECT_EQ(expected.y, actual.y);
  EXPECT_EQ(expected.z, actual.z);
}

TEST(MassPointTest, StartsAtRestWithDefaultFriction) {
  MassPoint p(Vector3(1, 2, 3), 0.5);
  expectVector(Vector3(1, 2, 3), p.position);
  expectVector(Vector3(0, 0, 0), p.velocity);
  expectVector(Vector3(0, 0, 0), p.acceleration);
  expectVector(Vector3(0, 0, 0), p.normalForce);
  expectVector(Vector3(0, 0, 0), p.pushForce);
  EXPECT_EQ(0.5, p.staticFriction);
  EXPECT_EQ(0.3, p.kineticFriction);
  EXPECT_EQ(0.5, p.mass);
  EXPECT_FALSE(p.fixed);
  EXPECT_TRUE(p.springs.empty());
  EXPECT_TRUE(p.springEnds.empty());
}

TEST(MassPointTest, GravityAndPushesAccumulate) {
  MassPoint p(Vector3(0, 0, 0), 0.5);
  p.clearForce();
  p.applyGravity();
  expectVector(Vector3(0, -4.9, 0), p.force);

  p.clearForce();
  p.addPush(Vector3(1, 0, 0));
  p.addPush(Vector3(1, 0, 0));
  p.applyPush();
  expectVector(Vector3(2, 0, 0), p.force);
  expectVector(Vector3(0, 0, 0), p.pushForce);
  p.clearForce();
  p.applyPush(); // the push acts once only
  expectVector(Vector3(0, 0, 0), p.force);
}

TEST(MassPointTest, GathersTheForceOfItsOwnEnd) {
  MassPoint left(Vector3(0, 0, 0), 1), middle(Vector3(1, 0, 0), 1), right(Vector3(2, 0, 0), 1);
  Spring first(&left, &middle, 1, 1, 0), second(&middle, &right, 1, 1, 0);
  first.forceA = Vector3(100, 0, 0);
  first.forceB = Vector3(1, 0, 0);
  second.forceA = Vector3(0, 2, 0);
  second.forceB = Vector3(0, 200, 0);
  middle.springs = {&first, &second};
  middle.springEnds = {2, 1};
  middle.clearForce();
  middle.gatherSpringForces();
  expectVector(Vector3(1, 2, 0), middle.force);
}

TEST(MassPointTest, IntegrateMovesWithTheAdvancedVelocity) {
  MassPoint p(Vector3(0, 0, 0), 0.5);
  p.clearForce();
  p.applyGravity();
  p.integrate(0.005);
  EXPECT_DOUBLE_EQ(-0.049, p.velocity.y);
  EXPECT_DOUBLE_EQ(-0.0003675, p.position.y); // 1.5 * a * dt^2, not 0.5
  expectVector(Vector3(0, -9.8, 0), p.acceleration);

  MassPoint coasting(Vector3(1, 0, 0), 2);
  coasting.velocity = Vector3(2, 0, 0);
  coasting.clearForce();
  coasting.integrate(0.5);
  expectVector(Vector3(2, 0, 0), coasting.position);
}

TEST(MassPointTest, FixedPointIgnoresItsForce) {
  MassPoint p(Vector3(1, 1, 1), 0.5);
  p.fix();
  p.velocity = Vector3(3, 3, 3);
  p.force = Vector3(100, -100, 5);
  p.integrate(0.005);
  expectVector(Vector3(1, 1, 1), p.position);
  expectVector(Vector3(3, 3, 3), p.velocity);
}

} // namespace
