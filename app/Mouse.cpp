#include "app/Mouse.h"

#include <GL/glut.h>

#include "app/GlobalWorld.h"

namespace {

struct ButtonKick {
  int button;
  int mode;
};

const ButtonKick kButtonKicks[] = {
    {GLUT_LEFT_BUTTON, 0},
    {GLUT_RIGHT_BUTTON, 1},
    {GLUT_MIDDLE_BUTTON, 2},
};

} // namespace

int pushModeForButton(int button) {
  for (const ButtonKick &kick : kButtonKicks) {
    if (kick.button == button) return kick.mode;
  }
  return -1;
}

// The kick comes with the release, wherever it happens and whether or not a press was seen.
void mouse(int button, int state, int, int) {
  if (state != GLUT_UP) return;
  const int mode = pushModeForButton(button);
  if (mode >= 0) gWorld.push(mode);
}
