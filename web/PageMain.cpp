// Wobblerama in a browser: the demo's world, callbacks and drawing under Emscripten's GLUT, in
// the page's 300 x 300 canvas. Start-up is the desktop program's, less the RIB output: a page
// has no folder to write blorp6.rib into.
#include <GL/glut.h>

#include "PageProbe.h"
#include "app/Startup.h"

int main(int argc, char **argv) {
  createWorld();
  openWindow(&argc, argv, countedDisplay, notedMouse);

  // Hands the frames to the browser: each animation frame that follows runs one display.
  glutMainLoop();
  return 0;
}
