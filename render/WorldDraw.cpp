#include "render/Draw.h"

void drawWorld(const World &world) {
  drawObstacles(world);
  drawBody(world);
}

void drawObstacles(const World &world) {
  for (const Obstacle *obstacle : world.obstacles) drawObstacle(*obstacle);
}

void drawObstacle(const Obstacle &obstacle) {
  // The sphere is the only kind of obstacle with a picture.
  if (const auto *sphere = dynamic_cast<const SphereObstacle *>(&obstacle)) drawSphere(*sphere);
}
