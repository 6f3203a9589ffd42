#include <GL/gl.h>

#include "render/Draw.h"

namespace {

// The planes reach far outside the -5..5 view and are clipped by it.
constexpr float kPlaneExtent = 100.0f;

void vertex(double x, double y, double z) {
    glVertex3f(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
}

void wall(double x) {
    glBegin(GL_POLYGON);
    vertex(x, -kPlaneExtent, -kPlaneExtent);
    vertex(x, kPlaneExtent, -kPlaneExtent);
    vertex(x, kPlaneExtent, kPlaneExtent);
    vertex(x, -kPlaneExtent, kPlaneExtent);
    glEnd();
}

void floorPlane(double y) {
    glBegin(GL_POLYGON);
    vertex(-kPlaneExtent, y, -kPlaneExtent);
    vertex(kPlaneExtent, y, -kPlaneExtent);
    vertex(kPlaneExtent, y, kPlaneExtent);
    vertex(-kPlaneExtent, y, kPlaneExtent);
    glEnd();
}

void line(double x1, double y1, double z1, double x2, double y2, double z2) {
    glBegin(GL_LINES);
    vertex(x1, y1, z1);
    vertex(x2, y2, z2);
    glEnd();
}

}  // namespace

void SoftBody::draw() {
    glPushMatrix();
    glRotatef(kBodyTurnDegrees, 1.0f, 1.0f, 0.0f);
    glColor3f(0.0f, 0.3f, 0.5f);
    wall(wallMaxX);
    wall(wallMinX);
    glColor3f(0.5f, 0.0f, 0.5f);
    floorPlane(floorY);
    glColor3f(1.0f, 0.0f, 0.0f);
    line(wallMaxX, -kPlaneExtent, 0, wallMaxX, kPlaneExtent, 0);
    line(wallMinX, -kPlaneExtent, 0, wallMinX, kPlaneExtent, 0);
    line(-kPlaneExtent, floorY, 0, kPlaneExtent, floorY, 0);
    glColor3f(1.0f, 1.0f, 1.0f);
    glPopMatrix();
    for (Spring *spring : springs) spring->draw();
}

void Spring::draw() {
    glPushMatrix();
    glRotatef(kBodyTurnDegrees, 1.0f, 1.0f, 0.0f);
    glColor3f(1.0f, 1.0f, 1.0f);
    glBegin(GL_LINES);
    vertex(a->position.x, a->position.y, a->position.z);
    vertex(b->position.x, b->position.y, b->position.z);
    glEnd();
    glPopMatrix();
}
