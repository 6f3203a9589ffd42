// SoftBody: an elastic box, a lattice of mass points joined by damped springs.
//
// The constructor builds (cellsX+1) x (cellsY+1) x (cellsZ+1) mass points,
// springs along every lattice edge, across every cell diagonal and every
// face diagonal, and the six faces, printing five progress lines. A step is
// computeSpringForces() followed by integrate(dt); the floor (y = floorY) and
// the walls (x = wallMinX, x = wallMaxX) are bounds of the body itself, the
// obstacles come from the list handed over with setObstacles.
//
// Mass points and springs live until the program ends; assigning a body
// copies its arrays of references, so both bodies share the same objects.
#pragma once

#include <vector>

#include "sim/MassPoint.h"
#include "sim/Obstacle.h"
#include "sim/Spring.h"

// Rows of mass points on one side of the lattice.
using Face = std::vector<std::vector<MassPoint *>>;

class SoftBody {
public:
  bool elastic;               // restitution 1 when true, 0 when false
  int nodesX, nodesY, nodesZ; // cells + 1 along each axis
  int cellsX, cellsY, cellsZ;
  double spacing; // rest distance between neighbouring nodes
  double nodeMass;
  double stiffness;
  double damping;
  bool gravityOn;
  std::vector<Obstacle *> *obstacles;                       // not owned; null until setObstacles
  std::vector<std::vector<std::vector<MassPoint *>>> nodes; // nodes[i][j][k], i along x
  std::vector<Spring *> springs;                            // creation order
  Face faces[6]; // x = 0, x = max, y = 0, y = max, z = max, z = 0
  double floorY;
  double wallMaxX;
  double wallMinX;

  // Empty body, only a target for assignment.
  SoftBody();
  // Builds the whole lattice centred on the origin. A negative cell count
  // leaves the body empty (no nodes, no springs) and says so on stderr.
  SoftBody(int cellsX, int cellsY, int cellsZ, double spacing, double stiffness, double damping,
           double nodeMass);

  // Pins node (i, j, k) for good; indexes outside the lattice are ignored.
  void fixNode(int i, int j, int k);
  void setObstacles(std::vector<Obstacle *> *list) { obstacles = list; }
  void enableGravity() { gravityOn = true; }
  // Registers a spring with the body and with both ends (end flags 1 and 2).
  void addSpring(Spring *spring, MassPoint *a, MassPoint *b);

  // Mouse push: mode 0 shoves the x = 0 face towards +x, mode 1 the
  // x = max face towards -x, mode 2 lifts the bottom face; other modes do
  // nothing. Applied once, at the next step.
  void push(int mode);

  // ---- One step (sim/Integration.cpp) ----------------------------------
  void computeSpringForces();
  // Per node: gravity, spring forces, push, floor, walls, obstacles, motion.
  void integrate(double dt);

private:
  void buildNodes();
  void buildSprings();
  void buildFaces();
  void connect(int i1, int j1, int k1, int i2, int j2, int k2, double restLength);
};
