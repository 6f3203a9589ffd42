#include "Diagnostics.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace rib {
namespace {

constexpr const char *kPrefix = "zizurezar error: ";

// Formats the report on the stack and hands it to standard error in one write; a report longer
// than the buffer (a very long token) goes out in pieces rather than cut short.
void report(RtInt code, const char *before, const char *format, va_list arguments,
            const char *after) {
  char line[1024];
  size_t used = std::strlen(before);
  std::memcpy(line, before, used);
  va_list copy;
  va_copy(copy, arguments);
  int length = std::vsnprintf(line + used, sizeof line - used, format, copy);
  va_end(copy);
  size_t afterLength = std::strlen(after);
  if (length >= 0 && used + static_cast<size_t>(length) + afterLength < sizeof line) {
    used += static_cast<size_t>(length);
    std::memcpy(line + used, after, afterLength);
    std::fwrite(line, 1, used + afterLength, stderr);
  } else {
    std::fputs(before, stderr);
    std::vfprintf(stderr, format, arguments);
    std::fputs(after, stderr);
  }
  RiLastError = code;
}

} // namespace

void reportError(RtInt code, const char *format, ...) {
  va_list arguments;
  va_start(arguments, format);
  report(code, kPrefix, format, arguments, "\n");
  va_end(arguments);
}

void reportErrorUnterminated(RtInt code, const char *format, ...) {
  va_list arguments;
  va_start(arguments, format);
  report(code, "\nzizurezar error: ", format, arguments, "");
  va_end(arguments);
}

void reportLine(RtInt code, const char *format, ...) {
  va_list arguments;
  va_start(arguments, format);
  report(code, "", format, arguments, "\n");
  va_end(arguments);
}

} // namespace rib
