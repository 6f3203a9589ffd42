#include "FloatFormat.h"

#include <charconv>
#include <cstdint>
#include <cstring>

#include "DigitPairs.h"
#include "DoubleText.h"

namespace rib {

// "%.Pg" of a float, done in integers. A finite float is m * 2^e exactly, so its value scaled by a
// power of ten is a ratio of integers. Dividing exactly yields the P leading digits and tells
// whether the rest is below, at or above one half, so rounding (half to even on exact ties, as the
// C library does) never rests on an approximation. Each precision from 1 to 9 is its own
// instantiation, so the powers of ten it needs are constants.

namespace {

__extension__ typedef unsigned __int128 u128;

constexpr int kMaxFastDigits = 9;    // a float needs 9 significant digits to read back exactly
constexpr int kMaxUpScale = 53;      // 10^53 lifts the smallest denormal, 2^-149, to 9 digits
constexpr int kMaxDownScale = 38;    // 10^-38 brings FLT_MAX, about 3.4e38, down to 1 digit
constexpr int kMaxPow5In40Bits = 17; // 5^17 < 2^40: times a 24-bit m it still fits 64 bits

struct Pow5Table {
  u128 pow[kMaxUpScale + 1];          // 5^j exactly (5^53 < 2^124)
  u128 reciprocal[kMaxDownScale + 1]; // floor(2^128 / 5^j): division by multiplication
};

constexpr Pow5Table makePow5Table() {
  Pow5Table table{};
  u128 p = 1;
  for (int j = 0; j <= kMaxUpScale; ++j) {
    table.pow[j] = p;
    if (j > 0 && j <= kMaxDownScale) table.reciprocal[j] = ~u128(0) / p; // 5^j never divides 2^128
    p *= 5;
  }
  return table;
}

constexpr Pow5Table kPow5 = makePow5Table();

constexpr uint64_t pow10(int n) { return n == 0 ? 1 : 10 * pow10(n - 1); }

/// The value scaled to P or P+1 integer digits and how the part cut off compares with one half.
struct ScaledValue {
  uint64_t quotient;
  int halfSign; // sign of (cut-off part - 1/2)
  bool inexact; // the cut-off part is not zero
};

/// Cut-off part remainder / 2^shift, 0 < shift < 128.
ScaledValue withBinaryRemainder(uint64_t quotient, u128 remainder, int shift) {
  const u128 half = u128(1) << (shift - 1);
  return {quotient, remainder < half ? -1 : remainder > half ? 1 : 0, remainder != 0};
}

/// Cut-off part remainder / divisor, remainder < divisor < 2^127.
ScaledValue withRemainder(uint64_t quotient, u128 remainder, u128 divisor) {
  const u128 twice = remainder << 1;
  return {quotient, twice < divisor ? -1 : twice > divisor ? 1 : 0, remainder != 0};
}

/// High 128 bits of the 256-bit product a * b.
u128 mulHigh(u128 a, u128 b) {
  const uint64_t a0 = static_cast<uint64_t>(a), a1 = static_cast<uint64_t>(a >> 64);
  const uint64_t b0 = static_cast<uint64_t>(b), b1 = static_cast<uint64_t>(b >> 64);
  const u128 p00 = u128(a0) * b0, p01 = u128(a0) * b1, p10 = u128(a1) * b0, p11 = u128(a1) * b1;
  const u128 mid = (p00 >> 64) + static_cast<uint64_t>(p01) + static_cast<uint64_t>(p10);
  return p11 + (p01 >> 64) + (p10 >> 64) + (mid >> 64);
}

/// m * 2^e * 10^j for j >= 0, that is m * 5^j / 2^(-e-j).
ScaledValue scaleUp(uint32_t m, int e, int j) {
  const int shift = -e - j;
  if (shift <= 0) { // whole numbers from 2^22 on: j <= 2 here, and nothing is cut off
    return {(uint64_t(m) * static_cast<uint64_t>(kPow5.pow[j])) << -shift, -1, false};
  }
  if (j <= kMaxPow5In40Bits && shift < 64) { // everyday magnitudes: all in 64 bits
    const uint64_t numerator = uint64_t(m) * static_cast<uint64_t>(kPow5.pow[j]);
    return withBinaryRemainder(numerator >> shift, numerator & ((uint64_t(1) << shift) - 1), shift);
  }
  // Tiny values: m * 5^j takes up to 148 bits, held as a low 128-bit and a high 64-bit part. The
  // shift stays below 112, so the cut-off bits all lie in the low part.
  const u128 pow5 = kPow5.pow[j];
  const u128 lowProduct = u128(m) * static_cast<uint64_t>(pow5);
  const u128 highProduct = u128(m) * static_cast<uint64_t>(pow5 >> 64);
  const u128 low = lowProduct + (highProduct << 64);
  const u128 high = (highProduct >> 64) + (low < lowProduct ? 1 : 0);
  const uint64_t quotient = static_cast<uint64_t>((low >> shift) | (high << (128 - shift)));
  return withBinaryRemainder(quotient, low & ((u128(1) << shift) - 1), shift);
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
  if (t >= 0) return withRemainder(quotient, remainder, pow5);
  const u128 divisor = pow5 << -t; // below 2^24: the shifted-out bits join the remainder
  return withRemainder(quotient, u128(m) - u128(quotient) * divisor, divisor);
}

/// A positive finite float's P correctly rounded significant digits (10^(P-1)..10^P-1) and its
/// decimal exponent X: the printed value is digits * 10^(X-P+1).
struct Decimal {
  uint32_t digits;
  int exponent;
};

template <int P> Decimal toDecimal(uint32_t m, int e) {
  constexpr uint64_t kLimit = pow10(P); // one past the largest P-digit significand
  const int log2Floor = e + 31 - __builtin_clz(m);
  // floor(log2Floor * log10(2)), exact over the float range; X is this or one more.
  const int estimate = (log2Floor * 78913) >> 18;
  const int scale = P - 1 - estimate;
  const ScaledValue v = scale >= 0 ? scaleUp(m, e, scale) : scaleDown(m, e, -scale);
  uint64_t digits = v.quotient;
  int exponent = estimate;
  bool roundUp;
  if (digits < kLimit) {
    roundUp = v.halfSign > 0 || (v.halfSign == 0 && (digits & 1) != 0);
  } else {
    // The estimate was one short: the last of P+1 digits, d, goes into the cut-off part, which
    // becomes (d + the old cut-off part) / 10.
    const unsigned d = static_cast<unsigned>(digits % 10);
    digits /= 10;
    ++exponent;
    roundUp = d > 5 || (d == 5 && (v.inexact || (digits & 1) != 0));
  }
  if (roundUp && ++digits == kLimit) { // 9.995 and the like carry into the next power of ten
    digits /= 10;
    ++exponent;
  }
  return {static_cast<uint32_t>(digits), exponent};
}

char *copyText(char *out, const char *text, int length) {
  std::memcpy(out, text, static_cast<size_t>(length));
  return out + length;
}

// Copies `length` (at most 16) bytes as one fixed-size move instead of a call: `text` must have 16
// readable bytes and `out` 16 writable ones (the callers' buffers hold kFloatTextMax).
constexpr int kShortCopy = 16;
char *copyShort(char *out, const char *text, int length) {
  std::memcpy(out, text, kShortCopy);
  return out + length;
}

constexpr char kLeadingZeros[kShortCopy + 1] = "0.00000000000000";

/// The P digits of `value` as characters, pairs from the right.
template <int P> void writeDigits(uint32_t value, char *digits) {
  int i = P;
  for (; i >= 2; i -= 2) {
    std::memcpy(digits + i - 2, kDigitPairs + 2 * (value % 100), 2);
    value /= 100;
  }
  if (i == 1) digits[0] = static_cast<char>('0' + value);
}

/// Lays out the digits as "%.Pg" does: fixed notation for -4 <= X < P, else d.ddde+XX; trailing
/// zeros and a trailing point dropped.
template <int P> char *writeDecimal(char *out, Decimal value) {
  char digits[2 * kShortCopy] = {}; // room for a short copy from any digit on
  writeDigits<P>(value.digits, digits);
  int count = P;
  while (digits[count - 1] == '0') --count; // the first digit is never 0

  const int x = value.exponent;
  if (x >= 0 && x < P) {
    const int whole = x + 1;
    if (count <= whole) return copyShort(out, digits, whole);
    out = copyShort(out, digits, whole);
    *out++ = '.';
    return copyShort(out, digits + whole, count - whole);
  }
  if (x < 0 && x >= -4) {
    out = copyShort(out, kLeadingZeros, 1 - x); // "0." and -x-1 zeros
    return copyShort(out, digits, count);
  }
  *out++ = digits[0];
  if (count > 1) {
    *out++ = '.';
    out = copyShort(out, digits + 1, count - 1);
  }
  *out++ = 'e';
  *out++ = x < 0 ? '-' : '+';
  return copyText(out, kDigitPairs + 2 * (x < 0 ? -x : x), 2); // |X| <= 45
}

template <int P> int formatWithDigits(float value, char *out) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  const uint32_t fraction = bits & 0x7fffff;
  const uint32_t biasedExponent = (bits >> 23) & 0xff;
  char *p = out;
  if (bits >> 31) *p++ = '-';
  if (biasedExponent == 0xff)
    return static_cast<int>(copyText(p, fraction ? "nan" : "inf", 3) - out);
  if (biasedExponent == 0) {
    if (fraction == 0) {
      *p++ = '0';
      return static_cast<int>(p - out);
    }
    return static_cast<int>(writeDecimal<P>(p, toDecimal<P>(fraction, -149)) - out);
  }
  const uint32_t m = fraction | 0x800000;
  return static_cast<int>(
      writeDecimal<P>(p, toDecimal<P>(m, static_cast<int>(biasedExponent) - 150)) - out);
}

static_assert(pow10(kMaxFastDigits) < (uint64_t(1) << 32), "P digits are held in 32 bits");

} // namespace

int formatFloatG(float value, char *out) { return formatWithDigits<6>(value, out); }

int formatFloatDigits(float value, int digits, char *out) {
  switch (digits < 1 ? 1 : digits) {
  case 1: return formatWithDigits<1>(value, out);
  case 2: return formatWithDigits<2>(value, out);
  case 3: return formatWithDigits<3>(value, out);
  case 4: return formatWithDigits<4>(value, out);
  case 5: return formatWithDigits<5>(value, out);
  case 6: return formatWithDigits<6>(value, out);
  case 7: return formatWithDigits<7>(value, out);
  case 8: return formatWithDigits<8>(value, out);
  case 9: return formatWithDigits<9>(value, out);
  default: break;
  }
  // More digits than a float carries are rare in RIB; the standard conversion is exact and
  // locale-free.
  return static_cast<int>(doubleText(out, kFloatTextMax, static_cast<double>(value),
                                    DoubleForm::General, digits > 17 ? 17 : digits));
}

} // namespace rib
