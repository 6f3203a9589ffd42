// DoubleText.h - floating-point numbers as text with std::to_chars where the standard library has
// it, and through snprintf where it has not (Emscripten's): both convert exactly, and the only
// locale there is "C", so the characters are the same.
//
//     char text[64];
//     size_t n = doubleText(text, sizeof text, 0.5, DoubleForm::Fixed, 6);   // "0.500000"
#pragma once

#include <charconv>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace rib {

enum class DoubleForm { General, Fixed };

/// `value` in `form` ("%.Pg" or "%.Pf") with `precision` digits; the number of characters.
inline size_t doubleText(char *out, size_t room, double value, DoubleForm form, int precision) {
#if defined(__cpp_lib_to_chars)
  const auto format = form == DoubleForm::Fixed ? std::chars_format::fixed : std::chars_format::general;
  return static_cast<size_t>(std::to_chars(out, out + room, value, format, precision).ptr - out);
#else
  const int n = std::snprintf(out, room, form == DoubleForm::Fixed ? "%.*f" : "%.*g", precision, value);
  return n > 0 && static_cast<size_t>(n) < room ? static_cast<size_t>(n) : 0;
#endif
}

/// What std::to_chars(float) writes, without it: printf's "%.Pe" and "%.Df" with the fewest
/// digits P and decimals D that read back as the same float, whichever is shorter (the plain one
/// on a tie). `out` needs 64 bytes; a finite `value` only.
inline size_t shortestFloatTextByPrintf(char *out, float value) {
  const double exact = value;
  char exponential[32];
  int e = 0;
  for (int digits = 1; digits <= 9; ++digits) {
    e = std::snprintf(exponential, sizeof exponential, "%.*e", digits - 1, exact);
    if (std::strtof(exponential, nullptr) == value) break;
  }
  char plain[64];
  int p = 0;
  // The smallest float needs 45 decimals; 9 significant ones always read back.
  for (int decimals = 0; decimals <= 54; ++decimals) {
    p = std::snprintf(plain, sizeof plain, "%.*f", decimals, exact);
    if (std::strtof(plain, nullptr) == value) break;
  }
  const bool usePlain = p <= e && p < static_cast<int>(sizeof plain); // never cut short
  std::memcpy(out, usePlain ? plain : exponential, static_cast<size_t>(usePlain ? p : e));
  return static_cast<size_t>(usePlain ? p : e);
}

/// The fewest significant digits that read back as the same float, as std::to_chars writes them.
/// `out` needs 64 bytes.
inline size_t shortestFloatText(char *out, float value) {
#if defined(__cpp_lib_to_chars)
  return static_cast<size_t>(std::to_chars(out, out + 64, value).ptr - out);
#else
  if (value != value) {
    std::memcpy(out, "nan", 3);
    return 3;
  }
  if (value == 0 || value - value != 0) { // zero and the infinities: printf agrees
    return static_cast<size_t>(std::snprintf(out, 64, "%g", static_cast<double>(value)));
  }
  return shortestFloatTextByPrintf(out, value);
#endif
}

} // namespace rib
