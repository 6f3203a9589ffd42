// MassPoint: one node of a soft body's lattice.
//
// A point mass with position, velocity and a per-step force accumulator,
// the springs that end at it, the mouse push waiting for the next step and
// the contact state (recorded normal force, friction coefficients).
// A step (see SoftBody::integrate) clears the force, adds gravity, the
// stored spring forces and the push, runs the contact responses and then
// `integrate`s the motion.
#pragma once

#include <cstddef>
#include <vector>

#include "sim/Vector3.h"

class Spring;

// Gravity along -y, world units per second squared.
constexpr double kGravity = 9.8;
// Tangential speed at or below which static friction can hold a point.
constexpr double kStickSpeed = 0.025;

class MassPoint {
public:
  Vector3 position;
  Vector3 velocity;
  Vector3 acceleration; // force / mass of the last integration
  Vector3 force;        // sum of the forces of the current step
  Vector3 normalForce;  // normal force of the last contact evaluation
  Vector3 pushForce;    // mouse pushes not yet applied
  double staticFriction;
  double kineticFriction;
  std::vector<Spring *> springs; // springs ending here, in registration order
  std::vector<int> springEnds;   // parallel to springs: 1 = end a, 2 = end b
  double mass;
  bool fixed;

  MassPoint(Vector3 position, double mass);

  // Mass points live until the program ends (see sim/Arena.h).
  static void *operator new(std::size_t size);
  static void operator delete(void *) {}

  // ---- Forces of one step ----------------------------------------------
  void clearForce() { force = Vector3(0.0, 0.0, 0.0); }
  void addForce(Vector3 f) { force += f; }
  void applyGravity() { addForce(Vector3(0.0, -kGravity * mass, 0.0)); }
  // Adds the force each spring stored for this end in its last computeForces.
  void gatherSpringForces();
  // Mouse push, collected until the next step; pushes between steps add up.
  void addPush(Vector3 f) { pushForce += f; }
  // Moves the pending push into this step's force, exactly once.
  void applyPush() {
    force += pushForce;
    pushForce = Vector3(0.0, 0.0, 0.0);
  }
  void fix() { fixed = true; }

  // ---- Contact response (sim/Contact.cpp) ------------------------------
  // n: unit surface normal pointing out of the surface. Restitution is 1
  // for an elastic body (normal velocity reflected), 0 otherwise (removed).
  void collide(Vector3 n, bool elastic);
  // Cancels the force component pressing into the surface and, if it
  // presses, applies friction from the previously recorded normal force.
  void applyContactForce(Vector3 n);
  void applyFriction(Vector3 n);
  void applyContactVelocity(Vector3 n, double restitution);

  // Advances the motion by dt (semi-implicit: the position uses the
  // already advanced velocity). A fixed point does not move.
  void integrate(double dt);
};
