#include "app/GlobalWorld.h"

World gWorld;
