#include "rib/FloatFormat.h"

#include <charconv>

int formatFloatDigits(float value, int digits, char *out) {
  if (digits < 1) digits = 1;
  if (digits > 17) digits = 17;
  auto result = std::to_chars(out, out + kFloatTextMax, static_cast<double>(value),
                              std::chars_format::general, digits);
  return static_cast<int>(result.ptr - out);
}

int formatFloatG(float value, char *out) { return formatFloatDigits(value, 6, out); }
