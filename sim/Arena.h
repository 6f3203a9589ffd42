// Storage for simulation objects that live until the program ends.
//
// Mass points, springs, bodies and obstacles are never released: bodies and
// worlds copied member-wise share them. Carving them from large blocks keeps
// the objects of one body next to each other in creation order (the order in
// which a step visits them), and keeps them reachable from a process-wide
// list, so leak checkers do not count them as lost.
#pragma once

#include <cstddef>

// Returns storage of `size` bytes aligned to `align` (a power of two, at most
// 64, one cache line). Never freed. Aborts with a message when memory runs out.
void *allocateForever(std::size_t size, std::size_t align);
