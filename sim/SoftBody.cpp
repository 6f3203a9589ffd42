#include "sim/SoftBody.h"

#include <cmath>
#include <iostream>

namespace {

// 6 edges, 12 face diagonals and 8 cell diagonals.
constexpr int kMaxSpringsPerNode = 26;

} // namespace

SoftBody::SoftBody()
    : elastic(false), nodesX(0), nodesY(0), nodesZ(0), cellsX(0), cellsY(0), cellsZ(0),
      spacing(0.0), nodeMass(0.0), stiffness(0.0), damping(0.0), gravityOn(false),
      obstacles(nullptr), floorY(-4.0), wallMaxX(4.0), wallMinX(-4.0) {}

SoftBody::SoftBody(int cellsX, int cellsY, int cellsZ, double spacing, double stiffness,
                   double damping, double nodeMass)
    : obstacles(nullptr) {
  std::cout << "blorp: initialing members...\n";
  this->cellsX = cellsX;
  this->cellsY = cellsY;
  this->cellsZ = cellsZ;
  nodesX = cellsX + 1;
  nodesY = cellsY + 1;
  nodesZ = cellsZ + 1;
  this->spacing = spacing;
  this->stiffness = stiffness;
  this->damping = damping;
  this->nodeMass = nodeMass;
  gravityOn = false;
  // A flat or thin body cannot bounce back elastically.
  elastic = !(cellsX == 0 || cellsY == 0 || cellsZ == 0);
  floorY = -4.0;
  wallMinX = -4.0;
  wallMaxX = 4.0;
  if (cellsX < 0 || cellsY < 0 || cellsZ < 0) {
    // No lattice exists with a negative extent; an empty body keeps
    // every loop over the nodes inside bounds.
    std::cerr << "blorp: negative cell count, the body is left empty\n";
    nodesX = nodesY = nodesZ = 0;
  }
  nodes.assign(nodesX, std::vector<std::vector<MassPoint *>>(
                           nodesY, std::vector<MassPoint *>(nodesZ, nullptr)));
  std::cout << "blorp: initialize nodes array with actual nodes...\n";
  buildNodes();
  std::cout << "initializing springs...\n";
  buildSprings();
  std::cout << "initializing faces...\n";
  buildFaces();
  std::cout << "blorp has been created\n";
}

// Coordinates are accumulated step by step (not index * spacing), which
// fixes the exact bits of every starting position.
void SoftBody::buildNodes() {
  double x0 = -(cellsX * spacing) / 2;
  double y0 = -(cellsY * spacing) / 2;
  double z0 = -(cellsZ * spacing) / 2;
  double x = x0;
  for (int i = 0; i < nodesX; ++i) {
    double y = y0;
    for (int j = 0; j < nodesY; ++j) {
      double z = z0;
      for (int k = 0; k < nodesZ; ++k) {
        MassPoint *point = new MassPoint(Vector3(x, y, z), nodeMass);
        // Room for every spring a lattice node can have, taken now so
        // the lists of neighbouring nodes sit side by side in memory.
        point->springs.reserve(kMaxSpringsPerNode);
        point->springEnds.reserve(kMaxSpringsPerNode);
        nodes[i][j][k] = point;
        z += spacing;
      }
      y += spacing;
    }
    x += spacing;
  }
}

void SoftBody::connect(int i1, int j1, int k1, int i2, int j2, int k2, double restLength) {
  MassPoint *a = nodes[i1][j1][k1];
  MassPoint *b = nodes[i2][j2][k2];
  addSpring(new Spring(a, b, restLength, stiffness, damping), a, b);
}

void SoftBody::addSpring(Spring *spring, MassPoint *a, MassPoint *b) {
  springs.push_back(spring);
  a->springs.push_back(spring);
  b->springs.push_back(spring);
  a->springEnds.push_back(1);
  b->springEnds.push_back(2);
}

// Three passes: lattice edges, cell diagonals, face diagonals. The order
// of the springs is the order of their forces' evaluation and of drawing.
void SoftBody::buildSprings() {
  for (int i = 0; i < nodesX; ++i)
    for (int j = 0; j < nodesY; ++j)
      for (int k = 0; k < nodesZ; ++k) {
        if (i < nodesX - 1) connect(i, j, k, i + 1, j, k, spacing);
        if (j < nodesY - 1) connect(i, j, k, i, j + 1, k, spacing);
        if (k < nodesZ - 1) connect(i, j, k, i, j, k + 1, spacing);
      }

  double cellDiagonal = std::sqrt(3.0 * spacing * spacing);
  for (int i = 0; i < nodesX - 1; ++i)
    for (int j = 0; j < nodesY - 1; ++j)
      for (int k = 0; k < nodesZ - 1; ++k) {
        connect(i, j, k, i + 1, j + 1, k + 1, cellDiagonal);
        connect(i + 1, j, k, i, j + 1, k + 1, cellDiagonal);
        connect(i + 1, j, k + 1, i, j + 1, k, cellDiagonal);
        connect(i, j, k + 1, i + 1, j + 1, k, cellDiagonal);
      }

  double faceDiagonal = std::sqrt(2.0 * spacing * spacing);
  for (int i = 0; i < nodesX; ++i)
    for (int j = 0; j < nodesY; ++j)
      for (int k = 0; k < nodesZ; ++k) {
        if (i < nodesX - 1 && j < nodesY - 1) {
          connect(i, j, k, i + 1, j + 1, k, faceDiagonal);
          connect(i + 1, j, k, i, j + 1, k, faceDiagonal);
        }
        if (k < nodesZ - 1 && j < nodesY - 1) {
          connect(i, j, k, i, j + 1, k + 1, faceDiagonal);
          connect(i, j, k + 1, i, j + 1, k, faceDiagonal);
        }
        if (i < nodesX - 1 && k < nodesZ - 1) {
          connect(i, j, k, i + 1, j, k + 1, faceDiagonal);
          connect(i, j, k + 1, i + 1, j, k, faceDiagonal);
        }
      }
}

void SoftBody::buildFaces() {
  const int lastX = nodesX - 1, lastY = nodesY - 1, lastZ = nodesZ - 1;
  for (int j = 0; j < nodesY; ++j) {
    std::vector<MassPoint *> left, right;
    for (int k = 0; k < nodesZ; ++k) {
      left.push_back(nodes[0][j][k]);
      right.push_back(nodes[lastX][j][k]);
    }
    faces[0].push_back(left);
    faces[1].push_back(right);
  }
  for (int k = 0; k < nodesZ; ++k) {
    std::vector<MassPoint *> bottom, top;
    for (int i = 0; i < nodesX; ++i) {
      bottom.push_back(nodes[i][0][k]);
      top.push_back(nodes[i][lastY][k]);
    }
    faces[2].push_back(bottom);
    faces[3].push_back(top);
  }
  for (int j = 0; j < nodesY; ++j) {
    std::vector<MassPoint *> back, front;
    for (int i = 0; i < nodesX; ++i) {
      back.push_back(nodes[i][j][lastZ]);
      front.push_back(nodes[i][j][0]);
    }
    faces[4].push_back(back);
    faces[5].push_back(front);
  }
}

void SoftBody::fixNode(int i, int j, int k) {
  if (i < 0 || i >= nodesX || j < 0 || j >= nodesY || k < 0 || k >= nodesZ) return;
  nodes[i][j][k]->fix();
}

void SoftBody::push(int mode) {
  // Half then difference: the force of a spring squeezed to half its rest length.
  double half = 0.5 * spacing;
  double strength = (spacing - half) * stiffness;
  Vector3 kick(0.0, 0.0, 0.0);
  switch (mode) {
  case 0: kick.x = strength; break;
  case 1: kick.x = -strength; break;
  case 2: kick.y = strength; break;
  default: return;
  }
  if (mode == 2) {
    for (int i = 0; i < nodesX; ++i)
      for (int k = 0; k < nodesZ; ++k) nodes[i][0][k]->addPush(kick);
    return;
  }
  int i = mode == 0 ? 0 : nodesX - 1;
  for (int j = 0; j < nodesY; ++j)
    for (int k = 0; k < nodesZ; ++k) nodes[i][j][k]->addPush(kick);
}
