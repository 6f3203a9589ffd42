#include "render/Draw.h"

// Spheres first: with no depth buffer the body's planes and springs cover them.
void World::draw() {
    drawObstacles();
    SoftBody::draw();
}

void World::drawObstacles() {
    for (Obstacle *obstacle : obstacles) obstacle->draw();
}
