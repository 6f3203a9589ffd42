// Wobblerama in a browser: the demo's world, callbacks and drawing under Emscripten's GLUT, in
// the page's 300 x 300 canvas. Start-up is the desktop program's, less the RIB output: a page
// has no folder to write blorp6.rib into.
#include <GL/glut.h>

#include <cstdio>

#include "PageProbe.h"
#include "app/Callbacks.h"
#include "app/GlobalWorld.h"

int main(int argc, char **argv) {
  std::printf("about to create the world...\n");
  // As on the desktop: gWorld shares the fresh world's objects, which are never freed.
  World *world = new World();
  gWorld = *world;
  std::printf("world has been created...\n");

  glutInit(&argc, argv);
  glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE);
  glutCreateWindow("Wobblerama");

  glutDisplayFunc(countedDisplay);
  glutReshapeFunc(reshape);
  glutMouseFunc(notedMouse);
  glutKeyboardFunc(keyboard);
  glutMotionFunc(motion);
  glutPassiveMotionFunc(passiveMotion);
  glutIdleFunc(idle);

  initView();

  // Hands the frames to the browser: each animation frame that follows runs one display.
  glutMainLoop();
  return 0;
}
