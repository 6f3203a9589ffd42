// Wobblerama: an elastic block falling onto a floor and two spheres, kicked with the mouse.
// The program has no options; it runs until the window is closed.
#include <GL/glut.h>

#include <cstdio>

#include "app/Callbacks.h"
#include "app/GlobalWorld.h"
#include "app/Mouse.h"
#include "rib/ri.h"

int main(int argc, char **argv) {
  std::printf("about to create the world...\n");
  // The fresh world is never freed: after the member-wise assignment gWorld shares its mass
  // points, springs and obstacles.
  World *world = new World();
  gWorld = *world;
  std::printf("world has been created...\n");

  // freeglut ends the process through exit(0) when the window is closed, which flushes the
  // console output and any open output files.
  glutInit(&argc, argv);
  glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE);
  glutCreateWindow("Wobblerama");

  glutDisplayFunc(display);
  glutReshapeFunc(reshape);
  glutMouseFunc(mouse);
  glutKeyboardFunc(keyboard);
  glutMotionFunc(motion);
  glutPassiveMotionFunc(passiveMotion);
  glutIdleFunc(idle);

  initView();

  // RIB output: the header goes to blorp6.rib; the context stays open until the process ends,
  // whose exit flushes the file.
  static char ribFile[] = "blorp6.rib";
  RiBegin(ribFile);

  glutMainLoop();
  return 0;
}
