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

/// The fewest significant digits that read back as the same float.
inline size_t shortestFloatText(char *out, size_t room, float value) {
#if defined(__cpp_lib_to_chars)
  return static_cast<size_t>(std::to_chars(out, out + room, value).ptr - out);
#else
  size_t n = 0;
  for (int digits = 1; digits <= 9; ++digits) {
    n = doubleText(out, room, value, DoubleForm::General, digits);
    out[n < room ? n : room - 1] = '\0';
    if (std::strtof(out, nullptr) == value) break;
  }
  return n;
#endif
}

} // namespace rib
