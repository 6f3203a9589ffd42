// Wobblerama: an elastic block falling onto a floor and two spheres, kicked with the mouse.
// The program has no options of its own (GLUT reads its X options, such as -display); it runs
// until the window is closed. Only --help and --version are answered, and nothing else happens.
#include <GL/glut.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/Callbacks.h"
#include "app/Mouse.h"
#include "app/Startup.h"
#include "rib/ri.h"

namespace {

const char *kHelp =
    "usage: wobblerama [X options]\n"
    "Opens the soft-body demo's window: a mouse button's release kicks the block, closing the\n"
    "window ends the program. The RIB header is written to blorp6.rib in the current folder.\n"
    "GLUT reads the X options it knows, such as -display DISPLAY and -geometry WxH+X+Y.\n"
    "  --help     print this help and exit\n"
    "  --version  print the version and exit\n";

// The world is built during static initialisation and prints its progress lines then, so the two
// questions are answered before it: from a constructor of the earliest priority, to which glibc
// gives the command line as it gives it to main.
__attribute__((constructor(101))) void answerQuestions(int argc, char **argv, char **) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0) {
      std::fputs(kHelp, stdout);
      std::exit(0);
    }
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("wobblerama %s\n", RIB_VERSION);
      std::exit(0);
    }
  }
}

} // namespace

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
