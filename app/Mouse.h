// Mouse kicks: releasing a button pushes one face of the block through World::push on gWorld.
// Left shoves the left face right (mode 0), right shoves the right face left (mode 1), middle lifts
// the bottom face (mode 2). Presses, the pointer position and other buttons do nothing.
#pragma once

// The GLUT mouse callback.
void mouse(int button, int state, int x, int y);

// The push mode of a GLUT button, or -1 for a button that does not kick.
int pushModeForButton(int button);
