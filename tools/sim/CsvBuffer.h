// Output buffer for the simulator's CSV: numbers are appended in their final text form and the
// bytes go out in large writes, so that formatting rather than I/O sets the pace.
// Doubles are written exactly as printf("%.17g") writes them in the "C" locale.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace simtool {

class CsvBuffer {
public:
  explicit CsvBuffer(std::FILE *out) : out_(out) { text_.reserve(kFlushSize + 4096); }
  ~CsvBuffer() { flush(); }
  CsvBuffer(const CsvBuffer &) = delete;
  CsvBuffer &operator=(const CsvBuffer &) = delete;

  void appendText(const char *text) { text_ += text; }
  void appendChar(char c) { text_ += c; }
  void appendUnsigned(std::uint64_t value);
  // 17 significant digits, as "%.17g": enough to read the same double back.
  void appendDouble(double value);
  // Ends a line and writes the buffer out once it has grown large.
  void endLine();
  // Writes everything buffered so far. Returns false when the stream reported an error.
  bool flush();

private:
  static constexpr std::size_t kFlushSize = 1 << 16;
  std::FILE *out_;
  std::string text_;
};

// The "%.17g" text of a value, for tests and single values.
std::string formatDouble17(double value);

} // namespace simtool
