#include "sim/Spring.h"

#include "sim/Arena.h"

// Springs of one body are carved one after the other in creation order,
// the order in which computeSpringForces visits them.
void *Spring::operator new(std::size_t size) { return allocateForever(size, alignof(Spring)); }
