// Startup.h - the demo's start, shared by the desktop program and the page: the world, then the
// window with its callbacks. What each entry point adds (the desktop's RIB output) stays there.
#pragma once

/// Creates the world, printing its two progress lines, and shares it through gWorld.
void createWorld();

/// Initialises GLUT, opens the window and installs the callbacks, `display` and `mouse` being
/// the ones the entry point gives; then sets up the view.
void openWindow(int *argc, char **argv, void (*display)(), void (*mouse)(int, int, int, int));
