#include "tools/sim/CsvBuffer.h"

#include <charconv>
#include <cstdio>

namespace simtool {

namespace {

// Longest "%.17g" text: sign, 17 digits, point, "e-308"; with room to spare.
constexpr std::size_t kMaxDoubleText = 32;

std::size_t writeDouble17(double value, char *first) {
#if defined(__cpp_lib_to_chars)
  // With an explicit precision, to_chars in general format produces the same characters as
  // printf's "%.17g" in the "C" locale, without printf's per-call parsing and locale look-ups.
  const auto result =
      std::to_chars(first, first + kMaxDoubleText, value, std::chars_format::general, 17);
  return static_cast<std::size_t>(result.ptr - first);
#else
  // Standard libraries without the floating-point to_chars (Emscripten's): their printf converts
  // exactly as well, and the simulator never leaves the "C" locale.
  const int length = std::snprintf(first, kMaxDoubleText, "%.17g", value);
  return length > 0 ? static_cast<std::size_t>(length) : 0;
#endif
}

} // namespace

void CsvBuffer::appendUnsigned(std::uint64_t value) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  text_.append(digits, result.ptr);
}

void CsvBuffer::appendDouble(double value) {
  char digits[kMaxDoubleText];
  text_.append(digits, writeDouble17(value, digits));
}

void CsvBuffer::endLine() {
  text_ += '\n';
  if (text_.size() >= kFlushSize) flush();
}

bool CsvBuffer::flush() {
  if (out_ == nullptr) // no CSV wanted: nothing is ever appended
    return true;
  if (!text_.empty()) {
    const std::size_t written = std::fwrite(text_.data(), 1, text_.size(), out_);
    const bool complete = written == text_.size();
    text_.clear();
    if (!complete) return false;
  }
  return std::fflush(out_) == 0;
}

std::string formatDouble17(double value) {
  char digits[kMaxDoubleText];
  return std::string(digits, writeDouble17(value, digits));
}

} // namespace simtool
