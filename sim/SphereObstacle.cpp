#include "sim/SphereObstacle.h"

#include <GL/glu.h>

#include "sim/Arena.h"

SphereObstacle::SphereObstacle(Vector3 center, double radius)
    : Obstacle(), center(center), radius(radius) {
  contactRadius = radius + kContactMargin;
  contactRadiusSquared = contactRadius * contactRadius;
  quadric = gluNewQuadric();
}

void *SphereObstacle::operator new(std::size_t size) {
  return allocateForever(size, alignof(SphereObstacle));
}
