// The one world of the demo. Every GLUT callback steps, draws or pushes this object; it is built
// during static initialisation, before main() runs, and lives until the process exits.
#pragma once

#include "sim/World.h"

extern World gWorld;
