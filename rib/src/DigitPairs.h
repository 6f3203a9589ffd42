// DigitPairs.h - the decimal digits of 0 to 99, two characters each, for number text.
#pragma once

namespace rib {

/// kDigitPairs + 2 * n holds the two digits of n (0 <= n < 100), "00" to "99".
inline constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

} // namespace rib
