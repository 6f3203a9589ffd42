// FiniteFloats.h - whether floats can be written: NaN and the infinities have no RIB form.
//
// The encoder tests every float it writes; a request holding one that is not finite is left out
// whole. Large arrays are scanned before any of their bytes are written.
//
//     if (!isFinite(value)) ...;                  // one float: its exponent bits
//     if (!allFinite(values, n)) ...;             // an array: vectorised, no branch per value
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "rib/ri.h"

namespace rib {

/// False for NaN, +Inf and -Inf: the exponent bits all set.
inline bool isFinite(RtFloat value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return (bits & 0x7f800000u) != 0x7f800000u;
}

/// True when none of the n floats at `values` is NaN or infinite.
bool allFinite(const RtFloat *values, size_t n);

} // namespace rib
