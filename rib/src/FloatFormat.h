// Float formatting for RIB text.
//
// Every float the library writes as text goes through these functions, so that the bytes equal
// those of C's "%g" conversion (the float promoted to double) while never depending on the
// program's locale and never allocating.
//
// One to nine significant digits (9 is enough for every float to read back exactly) take an exact
// integer path specialised for floats, checked against the C library over all 2^32 float bit
// patterns (build/check_float_format --digits D) and roughly ten times faster than snprintf; nine
// digits cost little more than six. 10 to 17 digits go through std::to_chars.
#pragma once

namespace rib {

/// Longest text either function writes (sign, digits, point, exponent), terminator not included.
constexpr int kFloatTextMax = 32;

/// Writes `value` exactly as printf("%g", (double)value) does in the C locale. Returns the number
/// of characters written to `out` (no terminator). `out` must hold kFloatTextMax characters.
int formatFloatG(float value, char *out);

/// The same with `digits` significant digits, as "%.*g" (digits below 1 count as 1, above 17 as
/// 17).
int formatFloatDigits(float value, int digits, char *out);

} // namespace rib
