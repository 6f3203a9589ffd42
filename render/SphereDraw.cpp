#include <GL/gl.h>
#include <GL/glu.h>

#include "render/Draw.h"

void SphereObstacle::draw() {
    glColor3f(0.0f, 0.8f, 0.0f);
    // The quadric is set up on every draw, so nothing depends on its history.
    gluQuadricDrawStyle(quadric, GLU_FILL);
    gluQuadricOrientation(quadric, GLU_OUTSIDE);
    gluQuadricNormals(quadric, GLU_SMOOTH);
    gluQuadricTexture(quadric, GL_FALSE);
    glPushMatrix();
    glTranslatef(static_cast<float>(center.x), static_cast<float>(center.y),
                 static_cast<float>(center.z));
    // Without lighting the material is invisible; the sphere shows flat green.
    const GLfloat diffuse[4] = {0.0f, 1.0f, 0.0f, 1.0f};
    glMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
    gluSphere(quadric, radius, 20, 20);
    glPopMatrix();
}
