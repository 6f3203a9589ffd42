// The GLUT callbacks of the demo window and its fixed view. Each display advances gWorld by one
// time step and draws it, so simulated time runs at the frame rate; the idle callback keeps the
// displays coming. Keys and mouse motion are accepted and ignored. The mouse callback is in
// Mouse.h.
#pragma once

void display();
void reshape(int width, int height);
void keyboard(unsigned char key, int x, int y);
void motion(int x, int y);
void passiveMotion(int x, int y);
void idle();

// Orthographic view from -5 to 5 on every axis and an identity model-view matrix; set once.
void initView();
