#include "sim/MassPoint.h"

#include "sim/Arena.h"
#include "sim/Spring.h"

MassPoint::MassPoint(Vector3 position, double mass)
    : position(position), velocity(0.0, 0.0, 0.0), acceleration(0.0, 0.0, 0.0),
      force(0.0, 0.0, 0.0), normalForce(0.0, 0.0, 0.0), pushForce(0.0, 0.0, 0.0),
      staticFriction(0.5), kineticFriction(0.3), mass(mass), fixed(false) {}

// Each point starts on a cache line, so the position and velocity that
// every spring reads share one line.
void *MassPoint::operator new(std::size_t size) { return allocateForever(size, 64); }

void MassPoint::gatherSpringForces() {
  std::size_t count = springs.size();
  for (std::size_t n = 0; n < count; ++n) {
    if (springEnds[n] == 1)
      addForce(springs[n]->forceA);
    else
      addForce(springs[n]->forceB);
  }
}

void MassPoint::integrate(double dt) {
  if (fixed) return;
  acceleration = force / mass;
  velocity += acceleration * dt;
  position += velocity * dt + acceleration * (0.5 * dt * dt);
}
