// SphereObstacle: a fixed sphere with a thin contact margin.
//
// Mass points collide with a sphere 0.05 larger than the one drawn, so a
// body resting on it never visibly sinks into the green ball. The GLU
// quadric that render/ draws it with is made at construction; gluNewQuadric
// needs no GL context, so spheres can be built before any window exists.
#pragma once

#include <cstddef>

#include "sim/Obstacle.h"
#include "sim/Vector3.h"

struct GLUquadric;

// Margin between the drawn sphere and the sphere that mass points touch.
constexpr double kContactMargin = 0.05;

class SphereObstacle : public Obstacle {
public:
  GLUquadric *quadric; // for drawing only; never deleted
  Vector3 center;
  double radius; // radius of the drawn sphere
  double contactRadiusSquared;
  double contactRadius; // radius + kContactMargin

  SphereObstacle(Vector3 center, double radius);

  // Obstacles live until the program ends (see sim/Arena.h).
  static void *operator new(std::size_t size);
  static void operator delete(void *) {}

  // Inside or on the contact sphere (squared distances, no square root).
  bool contains(Vector3 point) override {
    return point.distanceSquared(center) <= contactRadiusSquared;
  }
  // Unit vector from the centre towards point; zero at the centre itself.
  Vector3 normalAt(Vector3 point, Vector3 velocity) override {
    (void)velocity;
    return (point - center).normalized();
  }
};
