// Contact response (normal force, friction, restitution) and the body's step.
#include <cstring>
#include <deque>
#include <vector>

#include <gtest/gtest.h>

#include "ConsoleCapture.h"
#include "sim/MassPoint.h"
#include "sim/Obstacle.h"
#include "sim/SoftBody.h"

namespace {

const Vector3 kUp(0, 1, 0);

void expectVector(Vector3 expected, Vector3 actual) {
  EXPECT_DOUBLE_EQ(expected.x, actual.x);
  EXPECT_DOUBLE_EQ(expected.y, actual.y);
  EXPECT_DOUBLE_EQ(expected.z, actual.z);
}

MassPoint pointOnFloor(Vector3 force, Vector3 velocity, Vector3 recordedNormal) {
  MassPoint p(Vector3(0, -4, 0), 0.5);
  p.force = force;
  p.velocity = velocity;
  p.normalForce = recordedNormal;
  return p;
}

TEST(ContactTest, FirstContactCancelsGravityWithoutFriction) {
  MassPoint p = pointOnFloor(Vector3(0, -4.9, 0), Vector3(0, 0, 0), Vector3(0, 0, 0));
  p.collide(kUp, true);
  expectVector(Vector3(0, 0, 0), p.force);
  expectVector(Vector3(0, 4.9, 0), p.normalForce);
}

TEST(ContactTest, SlidingPointFeelsKineticFriction) {
  MassPoint p = pointOnFloor(Vector3(3, -4.9, 0), Vector3(1, 0, 0), Vector3(0, 4.9, 0));
  MassPoint frictionOnly = p;
  frictionOnly.applyFriction(kUp);
  expectVector(Vector3(3 - 1.47, -4.9, 0), frictionOnly.force);
  p.applyContactForce(kUp);
  expectVector(Vector3(1.53, 0, 0), p.force);
  expectVector(Vector3(1, 0, 0), p.velocity);
}

TEST(ContactTest, SlowPointSticks) {
  MassPoint p = pointOnFloor(Vector3(2, -4.9, 0), Vector3(0.01, 0, 0), Vector3(0, 4.9, 0));
  p.applyContactForce(kUp);
  expectVector(Vector3(0, 0, 0), p.velocity);
  expectVector(Vector3(0, 0, 0), p.force);
}

TEST(ContactTest, FrictionFollowsTheForceNotTheVelocity) {
  // Only gravity, matched by the recorded normal force: no tangent, nothing removed.
  MassPoint gliding = pointOnFloor(Vector3(0, -4.9, 0), Vector3(2, 0, -1), Vector3(0, 4.9, 0));
  gliding.collide(kUp, true);
  expectVector(Vector3(2, 0, -1), gliding.velocity);
  expectVector(Vector3(0, 0, 0), gliding.force);

  // At rest with a tangential force beyond static friction: kinetic case,
  // but with no velocity there is no direction to oppose yet.
  MassPoint shoved = pointOnFloor(Vector3(5, -4.9, 0), Vector3(0, 0, 0), Vector3(0, 4.9, 0));
  shoved.applyContactForce(kUp);
  expectVector(Vector3(5, 0, 0), shoved.force);
}

TEST(ContactTest, ForceLeavingTheSurfaceRecordsNoNormalForce) {
  MassPoint p = pointOnFloor(Vector3(1, 2, 0), Vector3(1, 0, 0), Vector3(0, 4.9, 0));
  p.applyContactForce(kUp);
  expectVector(Vector3(0, 0, 0), p.normalForce);
  expectVector(Vector3(1, 2, 0), p.force);
}

TEST(ContactTest, RestitutionReflectsOrRemovesTheNormalVelocity) {
  MassPoint bouncy = pointOnFloor(Vector3(0, 0, 0), Vector3(0.5, -2, 0), Vector3(0, 0, 0));
  bouncy.applyContactVelocity(kUp, 1.0);
  expectVector(Vector3(0.5, 2, 0), bouncy.velocity);
  MassPoint dull = pointOnFloor(Vector3(0, 0, 0), Vector3(0.5, -2, 0), Vector3(0, 0, 0));
  dull.applyContactVelocity(kUp, 0.0);
  expectVector(Vector3(0.5, 0, 0), dull.velocity);
  MassPoint leaving = pointOnFloor(Vector3(0, 0, 0), Vector3(0, 3, 0), Vector3(0, 0, 0));
  leaving.applyContactVelocity(kUp, 1.0);
  expectVector(Vector3(0, 3, 0), leaving.velocity);
}

TEST(ContactTest, ZeroNormalChangesNothing) {
  MassPoint p = pointOnFloor(Vector3(1, -2, 3), Vector3(-1, 2, 0.5), Vector3(0, 1, 0));
  p.collide(Vector3(0, 0, 0), true);
  expectVector(Vector3(1, -2, 3), p.force);
  expectVector(Vector3(-1, 2, 0.5), p.velocity);
}

// ---- The body's step ------------------------------------------------------

// Bodies stay alive for the whole test program, as in the demo.
SoftBody &makeBody(int cx, int cy, int cz) {
  static std::deque<SoftBody> bodies;
  ConsoleCapture quiet;
  return bodies.emplace_back(cx, cy, cz, 0.75, 600.0, 0.01, 0.5);
}

void step(SoftBody &body, int count) {
  for (int n = 0; n < count; ++n) {
    body.computeSpringForces();
    body.integrate(0.005);
  }
}

TEST(IntegrationTest, SinglePointRestsOnTheFloorAndStopsAtWalls) {
  SoftBody &body = makeBody(0, 0, 0); // a single node: not elastic
  body.enableGravity();
  MassPoint &p = *body.nodes[0][0][0];
  p.position = Vector3(0, -4, 0); // exactly on the floor: in contact
  step(body, 50);
  expectVector(Vector3(0, -4, 0), p.position);
  expectVector(Vector3(0, 0, 0), p.velocity);

  // Beyond the floor and the left wall at once: both contacts act.
  p.position = Vector3(-4.5, -4.5, 0);
  p.velocity = Vector3(-1, -1, 0.5);
  step(body, 1);
  expectVector(Vector3(0, 0, 0.5), p.velocity);

  p.position = Vector3(4, 0, 0); // exactly at the right wall
  p.velocity = Vector3(2, 0, 0);
  body.gravityOn = false;
  step(body, 1);
  expectVector(Vector3(0, 0, 0), p.velocity);
}

TEST(IntegrationTest, FixedNodeNeverMoves) {
  SoftBody &body = makeBody(2, 1, 1);
  body.enableGravity();
  body.fixNode(0, 1, 0);
  Vector3 start = body.nodes[0][1][0]->position;
  body.push(0);
  step(body, 300);
  EXPECT_TRUE(start == body.nodes[0][1][0]->position);
  EXPECT_LT(body.nodes[2][0][1]->position.y, -0.5); // the rest swings down
}

TEST(IntegrationTest, DroppedBodyBouncesOffTheFloor) {
  SoftBody &body = makeBody(6, 1, 2);
  body.enableGravity();
  std::vector<Obstacle *> none;
  body.setObstacles(&none);
  MassPoint &lowest = *body.nodes[3][0][1];
  bool touched = false, leftUpward = false;
  double lowestY = 0;
  for (int n = 0; n < 2000 && !leftUpward; ++n) {
    step(body, 1);
    lowestY = std::min(lowestY, lowest.position.y);
    if (lowest.position.y <= -4.0) touched = true;
    if (touched && lowest.position.y > -4.0 && lowest.velocity.y > 0) leftUpward = true;
  }
  EXPECT_TRUE(touched);
  EXPECT_TRUE(leftUpward);
  EXPECT_GT(lowestY, -4.1); // the floor stops it
}

TEST(IntegrationTest, BaseObstaclesHaveNoEffect) {
  SoftBody &plain = makeBody(3, 1, 1);
  SoftBody &withBases = makeBody(3, 1, 1);
  Obstacle base1, base2;
  std::vector<Obstacle *> bases = {&base1, &base2};
  withBases.setObstacles(&bases);
  for (SoftBody *body : {&plain, &withBases}) {
    body->enableGravity();
    body->push(2);
    step(*body, 400);
  }
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 2; ++j)
      for (int k = 0; k < 2; ++k) {
        MassPoint *a = plain.nodes[i][j][k], *b = withBases.nodes[i][j][k];
        EXPECT_EQ(0, std::memcmp(&a->position, &b->position, sizeof(Vector3)));
        EXPECT_EQ(0, std::memcmp(&a->velocity, &b->velocity, sizeof(Vector3)));
      }
}

TEST(IntegrationTest, PushActsForExactlyOneStep) {
  SoftBody &body = makeBody(0, 0, 0); // one free node, no gravity
  MassPoint &p = *body.nodes[0][0][0];
  body.push(0); // strength (0.75 - 0.375) * 600 = 225
  step(body, 1);
  EXPECT_DOUBLE_EQ(225 / 0.5 * 0.005, p.velocity.x);
  step(body, 1);
  EXPECT_DOUBLE_EQ(225 / 0.5 * 0.005, p.velocity.x);
}

} // namespace
