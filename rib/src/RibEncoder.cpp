// The encoder's typed writes: text pieces, numbers, arrays and the hand-over to the stream. The
// parameter lists are in ParamList.cpp.
#include "RibEncoder.h"

#include <charconv>
#include <climits>
#include <cstdint>
#include <cstring>

#include "BinaryFloats.h"
#include "DigitPairs.h"
#include "FilterNames.h"
#include "FloatFormat.h"

namespace rib {
namespace {

constexpr size_t kMaxIntText = 12; // "-2147483648 "

int decimalLength(uint32_t v) {
  int length = 1;
  for (uint32_t bound = 10; length < 10 && v >= bound; bound *= 10) ++length;
  return length;
}

// Writes v in decimal at `at`, the last two digits first; returns the end.
char *putDecimal(char *at, uint32_t v) {
  char *const end = at + decimalLength(v);
  char *p = end;
  while (v >= 100) {
    p -= 2;
    std::memcpy(p, kDigitPairs + 2 * (v % 100), 2);
    v /= 100;
  }
  if (v >= 10)
    std::memcpy(p - 2, kDigitPairs + 2 * v, 2);
  else
    p[-1] = static_cast<char>('0' + v);
  return end;
}

// The library's one integer writer: every integer in RIB text goes through here.
char *putInteger(char *at, long long value) {
  if (value < 0) *at++ = '-';
  // The magnitude of the most negative value only fits unsigned.
  const unsigned long long magnitude = value < 0 ? 0ull - static_cast<unsigned long long>(value)
                                                 : static_cast<unsigned long long>(value);
  if (magnitude <= UINT32_MAX) return putDecimal(at, static_cast<uint32_t>(magnitude));
  // Beyond 32 bits (a handle on a 64-bit host): the high part first, then nine digits.
  at = putInteger(at, static_cast<long long>(magnitude / 1000000000u));
  char digits[10];
  char *end = putDecimal(digits, static_cast<uint32_t>(magnitude % 1000000000u) + 1000000000u);
  std::memcpy(at, digits + 1, static_cast<size_t>(end - digits - 1));
  return at + (end - digits - 1);
}

int putFloatText(char *at, RtFloat value, int precision) {
  return precision == 6 ? formatFloatG(value, at) : formatFloatDigits(value, precision, at);
}

void putBigEndianFloat(char *at, RtFloat value) { copyBigEndian(at, &value, 1); }

long handleNumber(RtPointer handle) {
  return static_cast<long>(reinterpret_cast<intptr_t>(handle));
}

} // namespace

// ---- Text pieces ----

void RibEncoder::writeRaw(const char *text, size_t length) {
  while (length > 0) {
    if (used_ == kBufferSize) flushBuffer();
    size_t n = kBufferSize - used_ < length ? kBufferSize - used_ : length;
    std::memcpy(buffer_ + used_, text, n);
    used_ += n;
    text += n;
    length -= n;
  }
}

void RibEncoder::writeRaw(const char *text) {
  if (text) writeRaw(text, std::strlen(text));
}

void RibEncoder::writeChar(char c) {
  if (used_ == kBufferSize) flushBuffer();
  buffer_[used_++] = c;
}

void RibEncoder::writeNumber(RtFloat value) {
  char *at = reserve(kFloatTextMax);
  commit(static_cast<size_t>(putFloatText(at, value, precision)));
}

void RibEncoder::writeFixed(RtFloat value) {
  // Six decimals; large magnitudes need up to 39 digits before the point.
  char *at = reserve(64);
  auto result = std::to_chars(at, at + 64, static_cast<double>(value), std::chars_format::fixed, 6);
  commit(static_cast<size_t>(result.ptr - at));
}

void RibEncoder::writeInt(long long value) {
  char *at = reserve(24);
  commit(static_cast<size_t>(putInteger(at, value) - at));
}

void RibEncoder::writeText(const char *text) {
  writeChar('"');
  const char *run = text;
  for (const char *p = text; p && *p; ++p) {
    const char *escape = *p == '"' ? "\\\"" : *p == '\\' ? "\\\\" : *p == '\n' ? "\\n" : nullptr;
    if (!escape) continue;
    writeRaw(run, static_cast<size_t>(p - run));
    writeRaw(escape, 2);
    run = p + 1;
  }
  writeRaw(run);
  writeChar('"');
}

// ---- Fixed arguments ----

void RibEncoder::writeArgument(RtFloat value) {
  writeChar(' ');
  writeNumber(value);
}

void RibEncoder::writeArgument(RtInt value) {
  char *at = reserve(kMaxIntText);
  at[0] = ' ';
  commit(static_cast<size_t>(putInteger(at + 1, value) - at));
}

void RibEncoder::writeArgument(RtBoolean value) { writeArgument(static_cast<RtInt>(value)); }

void RibEncoder::writeArgument(const char *text) {
  writeChar(' ');
  writeText(text);
}

void RibEncoder::writeArgument(RtFilterFunc filter) { writeArgument(filterName(filter)); }

void RibEncoder::writeArgument(RtPointer handle) {
  writeChar(' ');
  writeInt(handleNumber(handle));
}

// ---- Values that follow the binary flag ----

void RibEncoder::writeFloat(RtFloat value) {
  if (binary) {
    char *at = reserve(5);
    at[0] = static_cast<char>(0xA4);
    putBigEndianFloat(at + 1, value);
    commit(5);
    return;
  }
  char *at = reserve(kFloatTextMax + 1);
  size_t length = static_cast<size_t>(putFloatText(at, value, precision));
  at[length] = ' ';
  commit(length + 1);
}

void RibEncoder::writeFloats(const RtFloat *values, long long n) {
  const size_t count = n > 0 ? static_cast<size_t>(n) : 0;
  if (binary)
    writeBinaryFloats(values, count);
  else
    writeTextFloats(values, count);
}

void RibEncoder::writeBinaryFloats(const RtFloat *values, size_t n) {
  // The header: 0xC8 and one count byte up to 0xCB and four.
  const uint32_t count = static_cast<uint32_t>(n);
  const int countBytes = count < 256u ? 1 : count < 65536u ? 2 : count < 16777216u ? 3 : 4;
  char *at = reserve(5);
  at[0] = static_cast<char>(0xC8 + countBytes - 1);
  for (int i = 0; i < countBytes; ++i)
    at[1 + i] = static_cast<char>(count >> (8 * (countBytes - 1 - i)));
  commit(1 + static_cast<size_t>(countBytes));
  // Whole runs are converted straight into the buffer, which goes out each time it fills.
  while (n > 0) {
    if (used_ + 4 > kBufferSize) flushBuffer();
    size_t run = (kBufferSize - used_) / 4;
    if (run > n) run = n;
    copyBigEndian(buffer_ + used_, values, run);
    used_ += run * 4;
    values += run;
    n -= run;
  }
}

void RibEncoder::writeTextFloats(const RtFloat *values, size_t n) {
  writeChar('[');
  for (size_t i = 0; i < n; ++i) {
    char *at = reserve(kFloatTextMax + 1);
    size_t length = 0;
    if (i > 0) at[length++] = ' ';
    length += static_cast<size_t>(putFloatText(at + length, values[i], precision));
    commit(length);
  }
  writeChar(']');
}

// ---- Arrays that are always text ----

void RibEncoder::writeInts(const RtInt *values, long long n) {
  // Index arrays of meshes run to millions: each batch reserves room for its longest text, so
  // the inner loop has no bounds checks per value.
  constexpr long long kBatch = static_cast<long long>(kBufferSize / kMaxIntText);
  writeChar('[');
  for (long long done = 0; done < n;) {
    const long long batch = n - done < kBatch ? n - done : kBatch;
    char *const start = reserve(static_cast<size_t>(batch) * kMaxIntText);
    char *p = start;
    for (const RtInt *v = values + done, *stop = v + batch; v < stop; ++v) {
      p = putInteger(p, *v);
      *p++ = ' ';
    }
    commit(static_cast<size_t>(p - start));
    done += batch;
  }
  writeChar(']');
}

void RibEncoder::writeStrings(RtToken const *texts, long long n) {
  writeChar('[');
  for (long long i = 0; i < n; ++i) {
    writeText(texts[i]);
    writeChar(' ');
  }
  writeChar(']');
}

void RibEncoder::writeTextArray(RtToken const *texts, size_t n) {
  writeChar('[');
  for (size_t i = 0; i < n; ++i) {
    if (i > 0) writeChar(' ');
    writeText(texts[i]);
  }
  writeChar(']');
}

// ---- Request boundaries ----

void RibEncoder::endLine() {
  writeChar('\n');
  endRequest();
  atLineStart_ = true;
}

void RibEncoder::endRequest() { flushBuffer(); }

void RibEncoder::flushBuffer() {
  if (used_ > 0 && stream_) {
    // Only the first piece of a request that starts a line is indented: a longer request goes out
    // in pieces, and a binary array may hold any byte, newlines included.
    if (atLineStart_ && indentBlocks && blockDepth_ > 0 && buffer_[0] != '\n') writeIndent();
    std::fwrite(buffer_, 1, used_, stream_);
    atLineStart_ = false;
  }
  used_ = 0;
}

void RibEncoder::writeIndent() {
  // Deeper levels than this stay at its indentation: lines stay bounded whatever the nesting.
  constexpr int kDeepestLevel = 32;
  static const char kBlanks[2 * kDeepestLevel + 1] =
      "                                                                ";
  const int levels = blockDepth_ < kDeepestLevel ? blockDepth_ : kDeepestLevel;
  std::fwrite(kBlanks, 1, 2 * static_cast<size_t>(levels), stream_);
}

} // namespace rib
