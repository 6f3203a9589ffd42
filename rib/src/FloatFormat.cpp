#include "FloatFormat.h"

#include <charconv>
#include <cstdint>
#include <cstring>

namespace rib {

// "%g" of a float, done in integers. A finite float is m * 2^e exactly, so its value scaled by a
// power of ten is a ratio of integers, and for every float that ratio fits 128 bits. Dividing
// exactly yields the six leading digits and tells whether the rest is below, at or above one half,
// so rounding (half to even on exact ties, as the C library does) never rests on an approximation.

namespace {

__extension__ typedef unsigned __int128 u128;

constexpr uint32_t kSixDigits = 1000000;  // one past the largest six-digit significand
constexpr int kMaxUpScale = 50;           // 10^50 lifts the smallest denormal, 2^-149, to 6 digits
constexpr int kMaxDownScale = 33;         // 10^-33 brings FLT_MAX, about 3.4e38, down to 6 digits
constexpr int kMaxPow5In40Bits = 17;      // 5^17 < 2^40: times a 24-bit m it still fits 64 bits

struct Pow5Table {
  u128 pow[kMaxUpScale + 1];           // 5^j exactly (5^50 < 2^117)
  u128 reciprocal[kMaxDownScale + 1];  // floor(2^128 / 5^j): division by multiplication
};

constexpr Pow5Table makePow5Table() {
  Pow5Table table{};
  u128 p = 1;
  for (int j = 0; j <= kMaxUpScale; ++j) {
    table.pow[j] = p;
    if (j > 0 && j <= kMaxDownScale) table.reciprocal[j] = ~u128(0) / p;  // 5^j never divides 2^128
    p *= 5;
  }
  return table;
}

constexpr Pow5Table kPow5 = makePow5Table();

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

/// The value scaled to six or seven integer digits, with what was cut off: the exact value is
/// quotient + remainder / divisor, and 0 <= remainder < divisor < 2^127.
struct ScaledValue {
  uint64_t quotient;
  u128 remainder;
  u128 divisor;
};

/// High 128 bits of the 256-bit product a * b.
u128 mulHigh(u128 a, u128 b) {
  const uint64_t a0 = static_cast<uint64_t>(a), a1 = static_cast<uint64_t>(a >> 64);
  const uint64_t b0 = static_cast<uint64_t>(b), b1 = static_cast<uint64_t>(b >> 64);
  const u128 p00 = u128(a0) * b0, p01 = u128(a0) * b1, p10 = u128(a1) * b0, p11 = u128(a1) * b1;
  const u128 mid = (p00 >> 64) + static_cast<uint64_t>(p01) + static_cast<uint64_t>(p10);
  return p11 + (p01 >> 64) + (p10 >> 64) + (mid >> 64);
}

/// m * 2^e * 10^j for j >= 0: the numerator m * 5^j stays below 2^124 for every float that needs
/// this direction, and the denominator is the power of two 2^(-e-j) (at least 2^4 here).
ScaledValue scaleUp(uint32_t m, int e, int j) {
  const int shift = -e - j;
  if (j <= kMaxPow5In40Bits && shift < 64) {  // everyday magnitudes: the same in 64 bits
    const uint64_t numerator = uint64_t(m) * static_cast<uint64_t>(kPow5.pow[j]);
    const uint64_t divisor = uint64_t(1) << shift;
    return {numerator >> shift, numerator & (divisor - 1), divisor};
  }
  const u128 numerator = u128(m) * kPow5.pow[j];
  const u128 divisor = u128(1) << shift;
  return {static_cast<uint64_t>(numerator >> shift), numerator & (divisor - 1), divisor};
}

/// m * 2^e / 10^j for j > 0, that is m * 2^(e-j) / 5^j. The reciprocal gives a quotient at most one
/// short; one comparison fixes it, and the remainder is exact.
ScaledValue scaleDown(uint32_t m, int e, int j) {
  const int t = e - j;
  const u128 pow5 = kPow5.pow[j];
  // For t < 0 divide floor(m / 2^-t) first; floor of floor is the same quotient.
  const u128 numerator = t >= 0 ? u128(m) << t : u128(m >> -t);
  uint64_t quotient = static_cast<uint64_t>(mulHigh(numerator, kPow5.reciprocal[j]));
  u128 remainder = numerator - u128(quotient) * pow5;
  if (remainder >= pow5) {
    ++quotient;
    remainder -= pow5;
  }
  if (t >= 0) return {quotient, remainder, pow5};
  const u128 divisor = pow5 << -t;  // below 2^24: the shifted-out bits join the remainder
  return {quotient, u128(m) - u128(quotient) * divisor, divisor};
}

/// Sign of (the cut-off part - 1/2) once the quotient has exactly six digits. A seven-digit
/// quotient (the exponent estimate was one short) loses its last digit d here, and the cut-off
/// part becomes (d + remainder / divisor) / 10.
int roundingDirection(ScaledValue &v) {
  if (v.quotient < kSixDigits) {
    const u128 twice = v.remainder << 1;
    return twice < v.divisor ? -1 : twice > v.divisor ? 1 : 0;
  }
  const unsigned d = static_cast<unsigned>(v.quotient % 10);
  v.quotient /= 10;
  if (d != 5) return d > 5 ? 1 : -1;
  return v.remainder != 0 ? 1 : 0;
}

/// A positive finite float's six correctly rounded significant digits (100000..999999) and its
/// decimal exponent X: the printed value is digits * 10^(X-5).
struct Decimal6 {
  uint32_t digits;
  int exponent;
};

Decimal6 toDecimal6(uint32_t m, int e) {
  const int log2Floor = e + 31 - __builtin_clz(m);
  // floor(log2Floor * log10(2)), exact over the float range; X is this or one more.
  const int estimate = (log2Floor * 78913) >> 18;
  const int scale = 5 - estimate;
  ScaledValue v = scale >= 0 ? scaleUp(m, e, scale) : scaleDown(m, e, -scale);
  int exponent = v.quotient >= kSixDigits ? estimate + 1 : estimate;
  const int direction = roundingDirection(v);
  uint32_t digits = static_cast<uint32_t>(v.quotient);
  if (direction > 0 || (direction == 0 && (digits & 1) != 0)) ++digits;
  if (digits == kSixDigits) {  // 999999.5 and the like carry into the next power of ten
    digits /= 10;
    ++exponent;
  }
  return {digits, exponent};
}

char *copyText(char *out, const char *text, int length) {
  std::memcpy(out, text, static_cast<size_t>(length));
  return out + length;
}

/// Lays out the digits as "%g" does: fixed notation for -4 <= X < 6, else d.ddddde+XX; trailing
/// zeros and a trailing point dropped.
char *writeDecimal(char *out, Decimal6 value) {
  char digits[6];
  std::memcpy(digits, kDigitPairs + 2 * (value.digits / 10000), 2);
  std::memcpy(digits + 2, kDigitPairs + 2 * (value.digits / 100 % 100), 2);
  std::memcpy(digits + 4, kDigitPairs + 2 * (value.digits % 100), 2);
  int count = 6;
  while (digits[count - 1] == '0') --count;  // the first digit is never 0

  const int x = value.exponent;
  if (x >= 0 && x < 6) {
    const int whole = x + 1;
    if (count <= whole) return copyText(out, digits, whole);
    out = copyText(out, digits, whole);
    *out++ = '.';
    return copyText(out, digits + whole, count - whole);
  }
  if (x < 0 && x >= -4) {
    out = copyText(out, "0.000", 1 - x);  // "0." and -x-1 zeros
    return copyText(out, digits, count);
  }
  *out++ = digits[0];
  if (count > 1) {
    *out++ = '.';
    out = copyText(out, digits + 1, count - 1);
  }
  *out++ = 'e';
  *out++ = x < 0 ? '-' : '+';
  return copyText(out, kDigitPairs + 2 * (x < 0 ? -x : x), 2);  // |X| <= 45
}

}  // namespace

int formatFloatG(float value, char *out) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  const uint32_t fraction = bits & 0x7fffff;
  const uint32_t biasedExponent = (bits >> 23) & 0xff;
  char *p = out;
  if (bits >> 31) *p++ = '-';
  if (biasedExponent == 0xff) return static_cast<int>(copyText(p, fraction ? "nan" : "inf", 3) - out);
  if (biasedExponent == 0) {
    if (fraction == 0) {
      *p++ = '0';
      return static_cast<int>(p - out);
    }
    return static_cast<int>(writeDecimal(p, toDecimal6(fraction, -149)) - out);
  }
  const uint32_t m = fraction | 0x800000;
  return static_cast<int>(writeDecimal(p, toDecimal6(m, static_cast<int>(biasedExponent) - 150)) - out);
}

int formatFloatDigits(float value, int digits, char *out) {
  if (digits == 6) return formatFloatG(value, out);
  if (digits < 1) digits = 1;
  if (digits > 17) digits = 17;
  // Other precisions are rare in RIB; the standard conversion is exact and locale-free.
  const auto result = std::to_chars(out, out + kFloatTextMax, static_cast<double>(value),
                                    std::chars_format::general, digits);
  return static_cast<int>(result.ptr - out);
}

} // namespace rib
