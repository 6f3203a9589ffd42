// render: immediate-mode OpenGL drawing of the simulation.
//
// Defines the draw operations declared by the simulation classes:
// SphereObstacle::draw (a flat green GLU sphere), SoftBody::draw (walls,
// floor, red reference lines, then every spring), Spring::draw (one white
// line) and World::draw / World::drawObstacles (spheres, then the body).
// The body, its bounds and springs are seen turned by 15 degrees about
// (1, 1, 0); the spheres are drawn without that turn. Every call needs a
// current GL context; nothing here changes the simulation.
#ifndef WOBBLE_RENDER_DRAW_H
#define WOBBLE_RENDER_DRAW_H

#include "sim/SoftBody.h"
#include "sim/SphereObstacle.h"
#include "sim/Spring.h"
#include "sim/World.h"

// Turn applied to the body and its bounds: angle in degrees about (1, 1, 0).
constexpr float kBodyTurnDegrees = 15.0f;

#endif
