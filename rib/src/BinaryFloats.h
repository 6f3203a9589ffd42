// BinaryFloats.h - floats as binary RIB stores them: IEEE singles, most significant byte first.
#pragma once

#include <cstddef>

#include "rib/ri.h"

namespace rib {

/// Writes the n floats at `out` (4n bytes) in big-endian byte order; vectorised where the
/// processor allows. Returns false when one of them was NaN or infinite (all are copied).
bool copyBigEndian(char *out, const RtFloat *values, size_t n);

} // namespace rib
