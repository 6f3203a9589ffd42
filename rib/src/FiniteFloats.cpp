#include "FiniteFloats.h"

namespace rib {

// The exponent field plus one carries into the sign bit only when the field is all ones, so one
// OR over the whole array tells whether any value is NaN or infinite. Blocks of 64 keep the loop
// free of branches (the compiler vectorises it) while a bad value early in a large array still
// ends the scan soon.
bool allFinite(const RtFloat *values, size_t n) {
  constexpr size_t kBlock = 64;
  size_t i = 0;
  while (i < n) {
    const size_t end = n - i < kBlock ? n : i + kBlock;
    uint32_t carried = 0;
    for (; i < end; ++i) {
      uint32_t bits;
      std::memcpy(&bits, values + i, sizeof bits);
      carried |= (bits & 0x7f800000u) + 0x00800000u;
    }
    if (carried & 0x80000000u) return false;
  }
  return true;
}

} // namespace rib
