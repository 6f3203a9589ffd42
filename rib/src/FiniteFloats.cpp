#include "FiniteFloats.h"

namespace rib {

// The exponent field plus one carries into the sign bit only when the field is all ones, so one
// OR over the whole array tells whether any value is NaN or infinite; the loop has no branch per
// value and the compiler vectorises it.
bool allFinite(const RtFloat *values, size_t n) {
  uint32_t carried = 0;
  for (size_t i = 0; i < n; ++i) {
    uint32_t bits;
    std::memcpy(&bits, values + i, sizeof bits);
    carried |= (bits & 0x7f800000u) + 0x00800000u;
  }
  return (carried & 0x80000000u) == 0;
}

} // namespace rib
