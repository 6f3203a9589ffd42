// One step of a soft body: every spring's force first, then each node in
// lattice order gathers its forces, meets the floor, walls and obstacles,
// and moves. No node reads another during the node pass, so the order of
// the pass does not change the result.
#include "sim/SoftBody.h"

void SoftBody::computeSpringForces() {
  for (Spring *spring : springs) spring->computeForces();
}

void SoftBody::integrate(double dt) {
  const Vector3 floorNormal(0.0, 1.0, 0.0);
  const Vector3 leftWallNormal(1.0, 0.0, 0.0);
  const Vector3 rightWallNormal(-1.0, 0.0, 0.0);
  for (int i = 0; i < nodesX; ++i)
    for (int j = 0; j < nodesY; ++j)
      for (int k = 0; k < nodesZ; ++k) {
        MassPoint *point = nodes[i][j][k];
        point->clearForce();
        if (gravityOn) point->applyGravity();
        point->gatherSpringForces();
        point->applyPush();
        if (point->position.y <= floorY) point->collide(floorNormal, elastic);
        if (point->position.x <= wallMinX) point->collide(leftWallNormal, elastic);
        if (point->position.x >= wallMaxX) point->collide(rightWallNormal, elastic);
        if (obstacles != nullptr)
          for (Obstacle *obstacle : *obstacles)
            if (obstacle->contains(point->position))
              point->collide(obstacle->normalAt(point->position, point->velocity), elastic);
        point->integrate(dt);
      }
}
