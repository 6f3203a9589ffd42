#include "sim/World.h"

#include "sim/Arena.h"
#include "sim/SphereObstacle.h"

World::World() : SoftBody(), obstacles(), timeStep(0.0) {
  // The body is built on the free store and copied in; both share the
  // mass points and springs, and the free-store body is kept for good.
  SoftBody *body = new (allocateForever(sizeof(SoftBody), alignof(SoftBody)))
      SoftBody(6, 1, 2, 0.75, 600.0, 0.01, 0.5);
  SoftBody::operator=(*body);
  timeStep = 0.005;
  enableGravity();
  obstacles.push_back(new SphereObstacle(Vector3(0, -2, 0), 1.0));
  obstacles.push_back(new SphereObstacle(Vector3(1.5, 2, 0), 1.0));
  setObstacles(&obstacles);
}

World::World(const World &other)
    : SoftBody(other), obstacles(other.obstacles), timeStep(other.timeStep) {
  setObstacles(&obstacles);
}

World &World::operator=(const World &other) {
  SoftBody::operator=(other);
  obstacles = other.obstacles;
  timeStep = other.timeStep;
  // Same obstacles, but through this world's own list: a copy must not
  // lean on the source world staying alive.
  setObstacles(&obstacles);
  return *this;
}

void World::step() {
  computeSpringForces();
  SoftBody::integrate(timeStep);
}

void World::push(int mode) { SoftBody::push(mode); }
