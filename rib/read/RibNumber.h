// RibNumber.h - the numbers of ASCII RIB, read exactly as strtof reads them, without its cost.
//
// A number is an optional sign, digits with an optional decimal point (".5" and "5." included)
// and an optional exponent. When its digits make an exact float (below 2^24) and the power of ten
// is within 10^10, one correctly rounded float operation gives the result. Up to 19 digits and
// powers within 10^22 take one double multiplication, within 2 units in the last place of the
// exact value; its rounding to float is right unless a point halfway between two floats lies that
// close. There, and for longer digit strings and larger powers, strtof in the C locale, which
// sees every digit, decides. The program's own locale never matters.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

namespace rib {

struct RibNumber {
  float value = 0.0f;     // what strtof gives for the text
  int32_t integer = 0;    // the value, when isInteger
  bool isInteger = false; // no point, no exponent, and within 32 bits
};

/// Scans a number at `p`. The text must be followed by a byte that cannot continue a number
/// (the reader's buffers end with a zero byte) and 8 more readable bytes, as digits are taken
/// eight at a time. Returns the end of the number, or null when the text there is no number
/// ("-", ".", "1e"). `scratch` holds the text for the rare strtof call.
inline const char *scanRibNumber(const char *p, RibNumber &out, std::string &scratch);

/// The number that is exactly [begin, end), when it is a short one: at most 8 digits in all and
/// an exponent of at most 3 digits. `dot` and `exponentMark` are the first
/// '.' and the first 'e' or 'E' at or after begin, or anything from end on when there is none.
/// The bytes from begin to end + 8 must be readable. False when the text is anything else
/// (scanRibNumber then decides); the conversions of the parts do not wait for each other.
inline bool readShortNumber(const char *begin, const char *end, const char *dot,
                            const char *exponentMark, RibNumber &out, std::string &scratch);

/// The whole of `text` as one number; false when it is anything else.
bool parseRibNumber(const std::string &text, RibNumber &out);

/// strtof of [begin, end) in the C locale.
float strtofInCLocale(const char *begin, const char *end, std::string &scratch);

// ---- Implementation ----

namespace numberdetail {

constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
// The nearest doubles to 10^-k: a product with one of them is within 2 units in the last place
// of the exact quotient.
constexpr double kInversePowersOfTen[] = {1e0,   1e-1,  1e-2,  1e-3,  1e-4,  1e-5,  1e-6,  1e-7,
                                          1e-8,  1e-9,  1e-10, 1e-11, 1e-12, 1e-13, 1e-14, 1e-15,
                                          1e-16, 1e-17, 1e-18, 1e-19, 1e-20, 1e-21, 1e-22};
constexpr int kMaxExactPower = 22;
constexpr uint64_t kMaxExactMantissa = uint64_t(1) << 53;
constexpr size_t kMaxDigits = 19; // always fit in 64 bits

inline bool isDigit(char c) { return static_cast<unsigned char>(c - '0') < 10; }

constexpr uint64_t kTensUpTo8[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};

// Masks of the first 0 to 8 bytes of a word.
constexpr uint64_t kLowBytes[] = {0,
                                  0xFF,
                                  0xFFFF,
                                  0xFFFFFF,
                                  0xFFFFFFFF,
                                  0xFFFFFFFFFFu,
                                  0xFFFFFFFFFFFFu,
                                  0xFFFFFFFFFFFFFFu,
                                  0xFFFFFFFFFFFFFFFFu};

// A sign byte: '+' (0x2B) or '-' (0x2D).
inline bool isSign(char c) { return ((static_cast<unsigned char>(c) - 0x2Bu) & ~2u) == 0; }

inline uint64_t eightBytes(const char *p) {
  uint64_t bytes;
  std::memcpy(&bytes, p, sizeof bytes);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
  bytes = __builtin_bswap64(bytes);
#endif
  return bytes; // the first byte lowest
}

// The decimal digits that start eight bytes (the first byte lowest): how many (0 to 8) and their
// value. The first byte that is no digit is found with byte arithmetic whose carries and borrows
// only move towards later bytes, which are not used; the digits are then combined pairwise by
// multiplications.
inline size_t leadingDigits(uint64_t bytes, uint64_t &value) {
  constexpr uint64_t kZeros = 0x3030303030303030u;
  constexpr uint64_t kAboveNine = 0x4646464646464646u; // makes bytes above '9' reach 0x80
  constexpr uint64_t kHighBits = 0x8080808080808080u;
  const uint64_t values = bytes - kZeros;
  const uint64_t notDigits = (values | (bytes + kAboveNine)) & kHighBits;
  const size_t n = notDigits ? static_cast<size_t>(__builtin_ctzll(notDigits)) / 8 : 8;
  if (n == 0) {
    value = 0;
    return 0;
  }
  // The n digit values at the top, most significant first from the top byte down.
  uint64_t v = values << (8 * (8 - n));
  v = v * 10 + (v >> 8); // pairs of digits in every other byte
  value = (((v & 0x000000FF000000FFu) * (100 + (uint64_t(1000000) << 32))) +
           (((v >> 16) & 0x000000FF000000FFu) * (1 + (uint64_t(10000) << 32)))) >>
          32;
  return n;
}

inline size_t leadingDigits(const char *p, uint64_t &value) {
  return leadingDigits(eightBytes(p), value);
}

// The value of the first `count` (1 to 8) bytes of a word, when they are all digits.
inline bool digitsValue(uint64_t bytes, size_t count, uint64_t &value) {
  constexpr uint64_t kZeros = 0x3030303030303030u;
  constexpr uint64_t kAboveNine = 0x4646464646464646u;
  constexpr uint64_t kHighBits = 0x8080808080808080u;
  const uint64_t values = bytes - kZeros;
  if ((values | (bytes + kAboveNine)) & kHighBits & kLowBytes[count]) return false;
  uint64_t v = values << (8 * (8 - count));
  v = v * 10 + (v >> 8);
  value = (((v & 0x000000FF000000FFu) * (100 + (uint64_t(1000000) << 32))) +
           (((v >> 16) & 0x000000FF000000FFu) * (1 + (uint64_t(10000) << 32)))) >>
          32;
  return true;
}

// Appends the decimal digits at p to `mantissa` (wrapping past 19 digits) and returns how many
// there were.
inline size_t appendDigits(const char *&p, uint64_t &mantissa) {
  size_t total = 0;
  for (;;) {
    uint64_t value;
    const size_t n = leadingDigits(p, value);
    if (n == 0) return total;
    mantissa = mantissa * kTensUpTo8[n] + value;
    p += n;
    total += n;
    if (n < 8) return total;
  }
}

// How far a double lies from the nearest point halfway between two floats, in units of its last
// place (for magnitudes in the range of normal floats).
inline uint64_t distanceFromFloatHalfway(double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  constexpr uint64_t kHalf = uint64_t(1) << 28;
  const uint64_t below = bits & ((kHalf << 1) - 1);
  return below > kHalf ? below - kHalf : kHalf - below;
}

/// Numbers of more than 19 digits: the same result, digit by digit.
const char *scanLongRibNumber(const char *p, RibNumber &out, std::string &scratch);

/// Reads the exponent after an "e" or "E" (an optional sign, then digits) and adds it to
/// `exponent`; null when no digit follows. Exponents beyond 100000 give inf or 0 anyway.
inline const char *scanExponent(const char *p, int &exponent) {
  bool negative = false;
  if (*p == '-' || *p == '+') negative = *p++ == '-';
  if (!isDigit(*p)) return nullptr;
  int written = 0;
  for (; isDigit(*p); ++p)
    if (written < 100000) written = written * 10 + (*p - '0');
  exponent += negative ? -written : written;
  return p;
}

/// The magnitude of mantissa * 10^exponent, the number [begin, end), as a float: exactly by one
/// double operation where that cannot round twice, else by strtof.
float scaledFloat(uint64_t mantissa, int exponent, const char *begin, const char *end,
                  std::string &scratch);

constexpr float kFloatPowersOfTen[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f,
                                       1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
constexpr uint64_t kMaxExactFloatMantissa = uint64_t(1) << 24;
constexpr int kMaxExactFloatPower = 10; // 5^10 < 2^24

// The value of sign, mantissa and power of ten of the text [start, end), as strtof gives it.
inline void finishNumber(bool negative, uint64_t mantissa, int exponent, bool integral,
                         const char *start, const char *end, RibNumber &out, std::string &scratch) {
  out.isInteger = integral && mantissa <= uint64_t(INT32_MAX) + (negative ? 1 : 0);
  out.integer = static_cast<int32_t>(negative ? -static_cast<int64_t>(mantissa)
                                              : static_cast<int64_t>(mantissa));
  float magnitude;
  if (mantissa <= kMaxExactFloatMantissa && exponent >= -kMaxExactFloatPower &&
      exponent <= kMaxExactFloatPower) {
    // Both operands exact floats: one correctly rounded float operation.
    const float exact = static_cast<float>(mantissa);
    magnitude =
        exponent < 0 ? exact / kFloatPowersOfTen[-exponent] : exact * kFloatPowersOfTen[exponent];
  } else if (mantissa == 0) {
    magnitude = 0.0f;
  } else if (exponent == 0) {
    magnitude = static_cast<float>(mantissa); // one rounding
  } else if (exponent < 0 && exponent >= -kMaxExactPower && mantissa <= kMaxExactMantissa) {
    // Within 2 units of the correctly rounded quotient: the float is right unless a halfway
    // point lies that close.
    const double value = static_cast<double>(mantissa) * kInversePowersOfTen[-exponent];
    magnitude = distanceFromFloatHalfway(value) > 16
                    ? static_cast<float>(value)
                    : scaledFloat(mantissa, exponent, start, end, scratch);
  } else {
    magnitude = scaledFloat(mantissa, exponent, start, end, scratch);
  }
  // The sign bit set without a branch: signs follow no pattern a predictor could learn.
  uint32_t bits;
  std::memcpy(&bits, &magnitude, sizeof bits);
  bits |= static_cast<uint32_t>(negative) << 31;
  std::memcpy(&out.value, &bits, sizeof bits);
}

} // namespace numberdetail

inline const char *scanRibNumber(const char *p, RibNumber &out, std::string &scratch) {
  using namespace numberdetail;
  const char *const start = p;
  // Without a branch: signs of coordinates follow no pattern a predictor could learn.
  const bool negative = *p == '-';
  p += negative || *p == '+';

  // Digits beyond 19 would wrap the mantissa: such numbers take the long way.
  uint64_t mantissa = 0;
  size_t digits = appendDigits(p, mantissa);
  int exponent = 0;
  bool integral = true;
  if (*p == '.') {
    integral = false;
    ++p;
    const size_t fraction = appendDigits(p, mantissa);
    digits += fraction;
    exponent = -static_cast<int>(fraction);
  }
  if (digits == 0) return nullptr;
  if (digits > kMaxDigits) {
    RibNumber long_; // keeps `out` in registers on the common path
    const char *end = scanLongRibNumber(start, long_, scratch);
    out = long_;
    return end;
  }
  if (*p == 'e' || *p == 'E') {
    integral = false;
    p = scanExponent(p + 1, exponent);
    if (!p) return nullptr;
  }
  finishNumber(negative, mantissa, exponent, integral, start, p, out, scratch);
  return p;
}

inline bool readShortNumber(const char *begin, const char *end, const char *dot,
                            const char *exponentMark, RibNumber &out, std::string &scratch) {
  using namespace numberdetail;
  const char *p = begin;
  const bool negative = *p == '-';
  p += isSign(*p);
  const char *const digitsEnd = exponentMark < end ? exponentMark : end;
  const bool hasDot = dot < digitsEnd;
  const size_t digits = static_cast<size_t>(digitsEnd - p) - hasDot;
  if (digitsEnd < p + hasDot || digits - 1 >= 8) return false;
  // The digits before and after the point in one word: the bytes from the point on move down.
  // Without a branch, as numbers with and without a point often alternate.
  const uint64_t low = kLowBytes[hasDot ? dot - p : 8];
  const uint64_t bytes = (eightBytes(p) & low) | (eightBytes(p + 1) & ~low);
  uint64_t mantissa;
  if (!digitsValue(bytes, digits, mantissa)) return false;
  int exponent = hasDot ? -static_cast<int>(digitsEnd - dot - 1) : 0;
  if (exponentMark < end) {
    const char *q = exponentMark + 1;
    const bool negativeExponent = *q == '-';
    q += isSign(*q);
    const size_t exponentDigits = static_cast<size_t>(end - q);
    if (end < q || exponentDigits - 1 >= 3) return false;
    int written = 0;
    for (size_t i = 0; i < exponentDigits; ++i) {
      const unsigned digit = static_cast<unsigned char>(q[i] - '0');
      if (digit >= 10) return false;
      written = written * 10 + static_cast<int>(digit);
    }
    exponent += negativeExponent ? -written : written;
  }
  finishNumber(negative, mantissa, exponent, !hasDot && exponentMark >= end, begin, end, out,
               scratch);
  return true;
}

} // namespace rib
