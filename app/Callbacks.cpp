#include "app/Callbacks.h"

#include <GL/glut.h>

#include "app/GlobalWorld.h"
#include "render/Draw.h"
#include "render/SceneLook.h"

void display() {
  glClear(GL_COLOR_BUFFER_BIT);
  gWorld.step();
  drawWorld(gWorld);
  glutSwapBuffers();
  // The next step starts only once this frame is on screen.
  glFinish();
}

// Only the viewport follows the window; the projection stays, so the picture stretches.
void reshape(int width, int height) { glViewport(0, 0, width, height); }

void keyboard(unsigned char, int, int) {}

void motion(int, int) {}

void passiveMotion(int, int) {}

void idle() { glutPostRedisplay(); }

void initView() {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  const double h = look::kViewHalfSize;
  glOrtho(-h, h, -h, h, -h, h);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}
