// Obstacle: a fixed solid that the mass points of a body collide with.
//
// A body asks each obstacle of its list, for every mass point and step,
// whether the point is in contact and, if so, for the outward unit normal
// there; the point's contact response does the rest. The base class is
// empty: it contains no point. Drawing is not the simulation's business: the
// window's pictures are made by render/ from the obstacles' data.
#pragma once

#include "sim/Vector3.h"

class Obstacle {
public:
  // True when `point` touches the obstacle.
  virtual bool contains(Vector3 point) {
    (void)point;
    return false;
  }
  // Unit normal at `point`, pointing away from the obstacle. The base
  // returns `point` unchanged; `velocity` is part of the interface only.
  virtual Vector3 normalAt(Vector3 point, Vector3 velocity) {
    (void)velocity;
    return point;
  }
  virtual ~Obstacle() {}
};
