#include <GL/gl.h>
#include <GL/glu.h>

#include "render/Draw.h"
#include "render/SceneLook.h"

void drawSphere(const SphereObstacle &sphere) {
  glColor3f(look::kSphereColor.r, look::kSphereColor.g, look::kSphereColor.b);
  // The quadric is set up on every draw, so nothing depends on its history.
  GLUquadric *quadric = sphere.quadric;
  gluQuadricDrawStyle(quadric, GLU_FILL);
  gluQuadricOrientation(quadric, GLU_OUTSIDE);
  gluQuadricNormals(quadric, GLU_SMOOTH);
  gluQuadricTexture(quadric, GL_FALSE);
  glPushMatrix();
  glTranslatef(static_cast<float>(sphere.center.x), static_cast<float>(sphere.center.y),
               static_cast<float>(sphere.center.z));
  // Without lighting the material is invisible; the sphere shows flat green.
  const GLfloat diffuse[4] = {0.0f, 1.0f, 0.0f, 1.0f};
  glMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
  gluSphere(quadric, sphere.radius, 20, 20);
  glPopMatrix();
}
