// Test helper: a bit-exact copy of the dynamic state of gWorld's mass points, to show that a
// callback changed nothing, or exactly what a kick added.
#pragma once

#include <vector>

#include "sim/World.h"

struct PointState {
  Vector3 position, velocity, force, pushForce;
};

inline std::vector<PointState> snapshot(const World &world) {
  std::vector<PointState> states;
  for (int i = 0; i < world.nodesX; ++i)
    for (int j = 0; j < world.nodesY; ++j)
      for (int k = 0; k < world.nodesZ; ++k) {
        const MassPoint &p = *world.nodes[i][j][k];
        states.push_back({p.position, p.velocity, p.force, p.pushForce});
      }
  return states;
}

inline bool operator==(const PointState &a, const PointState &b) {
  return a.position == b.position && a.velocity == b.velocity && a.force == b.force &&
         a.pushForce == b.pushForce;
}

// Every pending push set back to zero, so each test starts from a body without kicks.
inline void clearPushes(World &world) {
  for (auto &plane : world.nodes)
    for (auto &row : plane)
      for (MassPoint *point : row) point->pushForce = Vector3(0.0, 0.0, 0.0);
}
