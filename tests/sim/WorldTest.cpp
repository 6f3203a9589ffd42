#include "sim/World.h"

#include <cstdint>
#include <cstring>

#include <deque>

#include <gtest/gtest.h>

#include "ConsoleCapture.h"
#include "sim/SphereObstacle.h"

namespace {

// Worlds stay alive for the whole test program, as in the demo.
World &makeWorld() {
  static std::deque<World> worlds;
  ConsoleCapture quiet;
  return worlds.emplace_back();
}

void expectVector(Vector3 expected, Vector3 actual) {
  EXPECT_EQ(expected.x, actual.x);
  EXPECT_EQ(expected.y, actual.y);
  EXPECT_EQ(expected.z, actual.z);
}

// FNV-1a over the bits of every position and velocity, in lattice order.
std::uint64_t stateHash(const World &world) {
  std::uint64_t hash = 1469598103934665603ull;
  auto mix = [&hash](const Vector3 &v) {
    unsigned char bytes[sizeof(double) * 3];
    std::memcpy(bytes, &v.x, sizeof(double));
    std::memcpy(bytes + 8, &v.y, sizeof(double));
    std::memcpy(bytes + 16, &v.z, sizeof(double));
    for (unsigned char b : bytes) hash = (hash ^ b) * 1099511628211ull;
  };
  for (auto &plane : world.nodes)
    for (auto &row : plane)
      for (MassPoint *p : row) {
        mix(p->position);
        mix(p->velocity);
      }
  return hash;
}

TEST(WorldTest, BuildsTheBodyAndTwoSpheres) {
  ConsoleCapture out;
  World world;
  EXPECT_EQ("blorp: initialing members...\n"
            "blorp: initialize nodes array with actual nodes...\n"
            "initializing springs...\n"
            "initializing faces...\n"
            "blorp has been created\n",
            out.text());
  EXPECT_EQ(0.005, world.timeStep);
  EXPECT_TRUE(world.gravityOn);
  EXPECT_TRUE(world.elastic);
  EXPECT_EQ(7, world.nodesX);
  EXPECT_EQ(245u, world.springs.size());
  EXPECT_EQ(0.75, world.spacing);
  EXPECT_EQ(0.5, world.nodeMass);
  EXPECT_EQ(&world.obstacles, world.SoftBody::obstacles);
  ASSERT_EQ(2u, world.obstacles.size());
  auto *first = dynamic_cast<SphereObstacle *>(world.obstacles[0]);
  auto *second = dynamic_cast<SphereObstacle *>(world.obstacles[1]);
  ASSERT_NE(nullptr, first);
  ASSERT_NE(nullptr, second);
  expectVector(Vector3(0, -2, 0), first->center);
  expectVector(Vector3(1.5, 2, 0), second->center);
  EXPECT_EQ(1.0, first->radius);
  EXPECT_EQ(1.0, second->radius);
}

TEST(WorldTest, AssignmentSharesObjectsButNotTheSourceLifetime) {
  World *source = &makeWorld();
  World &target = makeWorld();
  target = *source;
  EXPECT_EQ(source->obstacles, target.obstacles);
  EXPECT_EQ(source->nodes[3][1][2], target.nodes[3][1][2]);
  EXPECT_EQ(source->springs, target.springs);
  EXPECT_EQ(&target.obstacles, target.SoftBody::obstacles);
  EXPECT_EQ(0.005, target.timeStep);

  // A copy made from a world that is gone afterwards still steps.
  World copied(makeWorld());
  {
    World temporary = makeWorld();
    target = temporary;
  }
  for (int n = 0; n < 10; ++n) target.step();
  EXPECT_EQ(&copied.obstacles, copied.SoftBody::obstacles);
}

TEST(WorldTest, PushesKickTheRightFacesAndAddUp) {
  World &world = makeWorld();
  world.push(0);
  for (int j = 0; j < 2; ++j)
    for (int k = 0; k < 3; ++k) expectVector(Vector3(225, 0, 0), world.nodes[0][j][k]->pushForce);
  expectVector(Vector3(0, 0, 0), world.nodes[1][0][0]->pushForce);

  world.push(1);
  world.push(1);
  for (int j = 0; j < 2; ++j)
    for (int k = 0; k < 3; ++k) expectVector(Vector3(-450, 0, 0), world.nodes[6][j][k]->pushForce);

  world.push(2);
  int lifted = 0;
  for (int i = 0; i < 7; ++i)
    for (int j = 0; j < 2; ++j)
      for (int k = 0; k < 3; ++k)
        if (world.nodes[i][j][k]->pushForce.y != 0) {
          EXPECT_EQ(0, j);
          EXPECT_EQ(225.0, world.nodes[i][j][k]->pushForce.y);
          ++lifted;
        }
  EXPECT_EQ(21, lifted);

  world.step();
  for (int k = 0; k < 3; ++k) expectVector(Vector3(0, 0, 0), world.nodes[0][0][k]->pushForce);
}

TEST(WorldTest, StepIsSpringForcesThenIntegrateByTheTimeStep) {
  World &world = makeWorld();
  World &twin = makeWorld();
  for (int n = 0; n < 20; ++n) {
    world.step();
    twin.computeSpringForces();
    twin.SoftBody::integrate(0.005);
  }
  EXPECT_EQ(stateHash(world), stateHash(twin));
}

// The motion is chaotic: any change in the order of floating-point
// operations anywhere in a step changes these bits within a few hundred
// steps. The run falls, bounces off the floor and both spheres, and takes
// kicks from all three modes.
TEST(WorldTest, LongRunIsBitForBitReproducible) {
  World &world = makeWorld();
  for (int n = 0; n < 4000; ++n) {
    if (n == 300) world.push(0);
    if (n == 1200) world.push(2);
    if (n == 1201) world.push(2);
    if (n == 2500) world.push(1);
    world.step();
  }
  EXPECT_EQ(0xf8a76b1900e0b69full, stateHash(world));
}

} // namespace
