#include "app/Startup.h"

#include <GL/glut.h>

#include <cstdio>

#include "app/Callbacks.h"
#include "app/GlobalWorld.h"

void createWorld() {
  std::printf("about to create the world...\n");
  // The fresh world is never freed: after the member-wise assignment gWorld shares its mass
  // points, springs and obstacles.
  World *world = new World();
  gWorld = *world;
  std::printf("world has been created...\n");
}

void openWindow(int *argc, char **argv, void (*display)(), void (*mouse)(int, int, int, int)) {
  // freeglut ends the process through exit(0) when the window is closed, which flushes the
  // console output and any open output files.
  glutInit(argc, argv);
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
}
