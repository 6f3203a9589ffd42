// World: the one soft body the program simulates, with its fixed obstacles
// and time step.
//
// A World is a SoftBody (6 x 1 x 2 cells, spacing 0.75, stiffness 600,
// damping 0.01, node mass 0.5, gravity on) that collides with two spheres of
// radius 1 at (0, -2, 0) and (1.5, 2, 0). step() advances it by timeStep;
// push(mode) kicks it. render/ draws it (drawWorld).
//
//     World world;                 // prints the body's progress lines
//     world.push(2);               // lift the bottom face at the next step
//     for (int n = 0; n < 1000; ++n) world.step();
#pragma once

#include <vector>

#include "sim/Obstacle.h"
#include "sim/SoftBody.h"

class World : public SoftBody {
public:
  std::vector<Obstacle *> obstacles; // fixed obstacles, in the order added
  double timeStep;                   // simulated seconds per step: 0.005

  World();
  // Member-wise copies: the mass points, springs and obstacles are shared
  // with the source. The body collides with this world's own list (which
  // holds the same obstacles), so it never depends on the source living on.
  World(const World &other);
  World &operator=(const World &other);

  // computeSpringForces, then integrate(timeStep).
  void step();
  // Forwards to the body's push.
  void push(int mode);
};
