#include "GlobalWorld.h"

World gWorld;
