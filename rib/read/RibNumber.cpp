#include "RibNumber.h"

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale.h>

namespace rib {

float strtofInCLocale(const char *begin, const char *end, std::string &scratch) {
  static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  scratch.assign(begin, end);
  return strtof_l(scratch.c_str(), nullptr, cLocale);
}

bool parseRibNumber(const std::string &text, RibNumber &out) {
  std::string padded = text;
  padded.append(9, '\0'); // the end and the bytes that digits are read eight at a time from
  std::string scratch;
  const char *end = scanRibNumber(padded.c_str(), out, scratch);
  return !text.empty() && end == padded.c_str() + text.size();
}

namespace numberdetail {

// The magnitude; strtof sees the sign too, so it is taken off its result.
float scaledFloat(uint64_t mantissa, int exponent, const char *begin, const char *end,
                  std::string &scratch) {
  if (mantissa <= kMaxExactMantissa && exponent >= -kMaxExactPower && exponent <= kMaxExactPower) {
    // One correctly rounded operation: only a double exactly halfway between two floats is in
    // doubt.
    const double exact = static_cast<double>(mantissa);
    const double value =
        exponent >= 0 ? exact * kPowersOfTen[exponent] : exact / kPowersOfTen[-exponent];
    if (distanceFromFloatHalfway(value) != 0) return static_cast<float>(value);
  }
  const float value = strtofInCLocale(begin, end, scratch);
  return std::fabs(value); // -0 too
}

const char *scanLongRibNumber(const char *p, RibNumber &out, std::string &scratch) {
  const char *const start = p;
  bool negative = false;
  if (*p == '-' || *p == '+') negative = *p++ == '-';
  uint64_t mantissa = 0; // the first 19 significant digits
  size_t digits = 0;
  int exponent = 0;
  bool dropped = false; // a nonzero digit beyond them
  bool integral = true;
  for (; isDigit(*p); ++p) {
    const unsigned digit = static_cast<unsigned>(*p - '0');
    if (digits < kMaxDigits) {
      mantissa = mantissa * 10 + digit;
      digits += mantissa != 0;
    } else {
      ++exponent;
      dropped |= digit != 0;
    }
  }
  if (*p == '.') {
    integral = false;
    for (++p; isDigit(*p); ++p) {
      const unsigned digit = static_cast<unsigned>(*p - '0');
      if (digits < kMaxDigits) {
        mantissa = mantissa * 10 + digit;
        digits += mantissa != 0;
        --exponent;
      } else {
        dropped |= digit != 0;
      }
    }
  }
  if (*p == 'e' || *p == 'E') {
    integral = false;
    p = scanExponent(p + 1, exponent);
    if (!p) return nullptr;
  }
  out.isInteger = integral && !dropped && mantissa <= uint64_t(INT32_MAX) + (negative ? 1 : 0);
  if (out.isInteger)
    out.integer = static_cast<int32_t>(negative ? -static_cast<int64_t>(mantissa)
                                                : static_cast<int64_t>(mantissa));
  float magnitude;
  if (mantissa == 0)
    magnitude = 0.0f;
  else if (dropped)
    magnitude = std::abs(strtofInCLocale(start, p, scratch));
  else if (exponent == 0)
    magnitude = static_cast<float>(mantissa);
  else
    magnitude = scaledFloat(mantissa, exponent, start, p, scratch);
  out.value = negative ? -magnitude : magnitude;
  return p;
}

} // namespace numberdetail
} // namespace rib
