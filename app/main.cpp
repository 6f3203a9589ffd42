// Wobblerama: an elastic block falling onto a floor and two spheres, kicked with the mouse.
// The program has no options; it runs until the window is closed.
#include <GL/glut.h>

#include "app/Callbacks.h"
#include "app/Mouse.h"
#include "app/Startup.h"
#include "rib/ri.h"

int main(int argc, char **argv) {
  createWorld();
  openWindow(&argc, argv, display, mouse);

  // RIB output: the header goes to blorp6.rib; the context stays open until the process ends,
  // whose exit flushes the file.
  static char ribFile[] = "blorp6.rib";
  RiBegin(ribFile);

  glutMainLoop();
  return 0;
}
