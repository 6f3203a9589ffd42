// Spring: a damped spring between two mass points of a soft body.
//
// computeForces turns the current distance and the ends' velocities into
// one force per end and stores them; each end collects its share later in
// MassPoint::gatherSpringForces. Each end is damped by its own velocity,
// not by the relative velocity along the spring.
#pragma once

#include <cmath>
#include <cstddef>

#include "sim/MassPoint.h"
#include "sim/Vector3.h"

class Spring {
public:
  MassPoint *a;
  MassPoint *b;
  double restLength;
  double stiffness; // force per unit of length change
  double damping;   // velocity damping coefficient
  Vector3 forceA;   // force on a from the last computeForces
  Vector3 forceB;   // force on b from the last computeForces

  Spring(MassPoint *a, MassPoint *b, double restLength, double stiffness, double damping)
      : a(a), b(b), restLength(restLength), stiffness(stiffness), damping(damping) {}

  // Springs live until the program ends (see sim/Arena.h).
  static void *operator new(std::size_t size);
  static void operator delete(void *) {}

  // Stretched springs pull the ends together, compressed ones push them
  // apart; ends that coincide feel only their damping. Touches neither end.
  void computeForces() {
    double length = std::sqrt(a->position.distanceSquared(b->position));
    double s = (restLength - length) * stiffness;
    Vector3 u = a->position.directionTo(b->position);
    forceA = -(u * s) - a->velocity * damping;
    forceB = u * s - b->velocity * damping;
  }
};
