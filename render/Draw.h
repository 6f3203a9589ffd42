// render: immediate-mode OpenGL drawing of the simulation.
//
// Free functions over the simulation's objects, so that the simulation
// itself knows nothing of drawing: drawWorld draws the spheres (flat green
// GLU spheres), then the body (walls, floor, red reference lines, then every
// spring as one white line). The body, its bounds and springs are seen
// turned by 15 degrees about (1, 1, 0); the spheres are drawn without that
// turn. Colours, extents and the turn come from render/SceneLook.h. Every call
// needs a current GL context; nothing here changes the simulation.
//
//     glClear(GL_COLOR_BUFFER_BIT);
//     world.step();
//     drawWorld(world);
#pragma once

#include "sim/Obstacle.h"
#include "sim/SoftBody.h"
#include "sim/SphereObstacle.h"
#include "sim/Spring.h"
#include "sim/World.h"

// The obstacles, then the body: with no depth buffer the body's planes and
// springs cover the spheres.
void drawWorld(const World &world);
// Each obstacle of the world's list, in list order.
void drawObstacles(const World &world);
// A sphere obstacle draws as its green sphere; other obstacles draw nothing.
void drawObstacle(const Obstacle &obstacle);
// Green sphere of the drawn `radius` (not the contact radius), 20 x 20.
void drawSphere(const SphereObstacle &sphere);
// Bounds, reference lines, then every spring in the body's order.
void drawBody(const SoftBody &body);
// One white line between the spring's mass points, turned like the body.
void drawSpring(const Spring &spring);
