// The one world of the demo. Every GLUT callback steps, draws or pushes this object; it is built
// during static initialisation, before main() runs, and lives until the process exits.
#ifndef WOBBLE_APP_GLOBALWORLD_H
#define WOBBLE_APP_GLOBALWORLD_H

#include "sim/World.h"

extern World gWorld;

#endif
