// The encoder's typed writes: text pieces, numbers, arrays and the hand-over to the stream. The
// parameter lists are in RibEncoderParams.cpp.
#include "RibEncoder.h"

#include <charconv>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "BinaryFloats.h"
#include "Diagnostics.h"
#include "DigitPairs.h"
#include "DoubleText.h"
#include "FloatFormat.h"
#include "GivenValues.h"
#include "StandardNames.h"
#include "TextEscapes.h"

namespace rib {
namespace {

constexpr size_t kMaxIntText = 12; // "-2147483648 "

// Digits of v: a guess from its bit length (log10 2 is about 1233 / 4096), corrected by one
// comparison. v | 1 keeps 0 at one digit and never crosses a power of ten.
int decimalLength(uint32_t v) {
  static constexpr uint32_t kPowersOfTen[] = {1,      10,      100,      1000,      10000,
                                              100000, 1000000, 10000000, 100000000, 1000000000};
  const uint32_t w = v | 1;
  const int guess = ((32 - __builtin_clz(w)) * 1233) >> 12;
  return guess + (w >= kPowersOfTen[guess] ? 1 : 0);
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
    if (used_ == kBufferSize) spill();
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

void RibEncoder::writeKeyword(const char *name) {
  requestKeyword_ = name;
  if (compact)
    writeCompactKeyword(name);
  else
    writeRaw(name);
}

void RibEncoder::writeNumber(RtFloat value) {
  if (!isFinite(value)) {
    fault_ = Fault::NonFinite;
    return;
  }
  if (compact) return writeCompactFloat(value);
  char *at = reserve(kFloatTextMax);
  commit(static_cast<size_t>(putFloatText(at, value, precision)));
}

void RibEncoder::writeFixed(RtFloat value) {
  if (!isFinite(value)) {
    fault_ = Fault::NonFinite;
    return;
  }
  if (compact) return writeCompactFloat(value);
  // Six decimals; large magnitudes need up to 39 digits before the point.
  char *at = reserve(64);
  commit(doubleText(at, 64, static_cast<double>(value), DoubleForm::Fixed, 6));
}

void RibEncoder::writeInt(long long value) {
  if (compact) return writeCompactInt(value);
  char *at = reserve(24);
  commit(static_cast<size_t>(putInteger(at, value) - at));
}

void RibEncoder::writeText(const char *text) {
  if (compact) return writeCompactText(text);
  writeChar('"');
  const char *run = text;
  for (const char *p = text; p && *p; ++p) {
    const char *escape = kTextEscapes[static_cast<unsigned char>(*p)].text;
    if (!*escape) continue;
    writeRaw(run, static_cast<size_t>(p - run));
    writeRaw(escape);
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
  if (compact) return writeCompactInt(value);
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
  if (!isFinite(value)) {
    fault_ = Fault::NonFinite;
    return;
  }
  if (compact) return writeCompactFloat(value);
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

bool RibEncoder::given(const void *values, size_t n, size_t width) {
  if (n <= SIZE_MAX / width && withinGiven(values, n * width)) return true;
  fault_ = Fault::PastGiven;
  return false;
}

void RibEncoder::writeFloats(const RtFloat *values, long long n) {
  const size_t count = n > 0 ? static_cast<size_t>(n) : 0;
  if (!given(values, count, sizeof(RtFloat))) return;
  if (binary)
    writeBinaryFloats(values, count);
  else
    writeTextFloats(values, count);
}

void RibEncoder::writeBinaryFloats(const RtFloat *values, size_t n) {
  checkLargeArray(values, n);
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
    if (used_ + 4 > kBufferSize) spill();
    size_t run = (kBufferSize - used_) / 4;
    if (run > n) run = n;
    if (!copyBigEndian(buffer_ + used_, values, run)) fault_ = Fault::NonFinite;
    used_ += run * 4;
    values += run;
    n -= run;
  }
}

void RibEncoder::writeTextFloats(const RtFloat *values, size_t n) {
  // One scan ahead of the text, which costs far more: no byte of a bad array is ever written.
  if (!allFinite(values, n)) fault_ = Fault::NonFinite;
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
  if (!given(values, n > 0 ? static_cast<size_t>(n) : 0, sizeof(RtInt))) return;
  if (compact) return writeCompactInts(values, n);
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
  if (!given(texts, n > 0 ? static_cast<size_t>(n) : 0, sizeof(RtToken))) return;
  writeChar('[');
  for (long long i = 0; i < n; ++i) {
    writeText(texts[i]);
    writeChar(' ');
  }
  writeChar(']');
}

void RibEncoder::writeTextArray(RtToken const *texts, size_t n) {
  if (!given(texts, n, sizeof(RtToken))) return;
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

void RibEncoder::endRecord() {
  writeRaw("\n", 1);
  endRequest();
  atLineStart_ = true;
}

void RibEncoder::endRequest() {
  if (fault_ != Fault::None) {
    leaveOut();
    return;
  }
  writeRequestBytes(buffer_, used_);
  used_ = 0;
  resetRequest();
}

void RibEncoder::resetRequest() {
  fault_ = Fault::None;
  spilled_ = false;
  requestKeyword_ = nullptr;
  checkedAhead_ = false;
  expecting_ = false;
}

void RibEncoder::spill() {
  if (!spilled_) {
    keepKeyword(); // it leaves the buffer now; a report of the request still names it
    spilled_ = true;
    requestStart_ = canTakeBack() ? streamPosition() : -1;
  }
  // A file can be cut back to where the request began; any other stream gets nothing of a
  // request before the rest of it is known to be writable.
  if (requestStart_ < 0) checkAhead();
  if (fault_ == Fault::None) writeRequestBytes(buffer_, used_);
  used_ = 0;
}

// ---- Requests left out ----

void RibEncoder::leaveOut() {
  // What a long request wrote to a file is cut off again; the checks ahead kept it from any
  // other stream.
  if (!spilled_)
    keepKeyword();
  else if (requestStart_ >= 0)
    cutStreamAt(requestStart_);
  used_ = 0;
  const char *request = keyword_[0] ? keyword_ : "request";
  if (fault_ == Fault::NoMemory)
    reportError(RIE_NOMEM, "Ri%s: out of memory; the request is left out", request);
  else if (fault_ == Fault::BadList && badListCount_ < 0)
    reportError(RIE_RANGE, "Ri%s has a negative number of parameters (%d); the request is left out",
                request, badListCount_);
  else if (fault_ == Fault::BadList)
    reportError(RIE_MISSINGDATA,
                "Ri%s has %d parameters without their tokens or values; the request is left out",
                request, badListCount_);
  else if (fault_ == Fault::PastGiven)
    reportError(RIE_CONSISTENCY,
                "Ri%s would read past the values it was given; the request is left out", request);
  else
    reportError(RIE_RANGE, "Ri%s has a number that is not finite; the request is left out",
                request);
  resetRequest();
}

void RibEncoder::keepKeyword() {
  if (requestKeyword_) {
    std::snprintf(keyword_, sizeof keyword_, "%s", requestKeyword_);
    return;
  }
  size_t length = 0;
  for (; length < used_ && length + 1 < sizeof keyword_; ++length) {
    const char c = buffer_[length];
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) break;
    keyword_[length] = c;
  }
  keyword_[length] = '\0';
}

void RibEncoder::checkLargeArray(const RtFloat *values, size_t n) {
  // A file is cut back should the array turn out bad; only other streams need the scan.
  if (canTakeBack() || n * 4 <= kBufferSize - used_) return;
  checkAhead();
  if (!given(values, n, sizeof(RtFloat))) return;
  // A value of the announced list was checked with it.
  if (!inExpectedList_ && !allFinite(values, n)) fault_ = Fault::NonFinite;
}

void RibEncoder::checkFloats(const RtFloat *values, long long n) {
  if (n > 0 && !given(values, static_cast<size_t>(n), sizeof(RtFloat))) return;
  if (n > 0 && values && !allFinite(values, static_cast<size_t>(n))) fault_ = Fault::NonFinite;
}

// ---- Indentation ----

void RibEncoder::writeRequestBytes(const char *bytes, size_t length) {
  if (length == 0) return;
  // Only the first piece of a request that starts a line is indented: a longer request goes out
  // in pieces, and a binary array may hold any byte, newlines included.
  if (atLineStart_ && indentBlocks && !compact && blockDepth_ > 0 && bytes[0] != '\n')
    writeIndent();
  writeOut(bytes, length);
  atLineStart_ = false;
}

void RibEncoder::writeIndent() {
  // Deeper levels than this stay at its indentation: lines stay bounded whatever the nesting.
  constexpr int kDeepestLevel = 32;
  static const char kBlanks[2 * kDeepestLevel + 1] =
      "                                                                ";
  const int levels = blockDepth_ < kDeepestLevel ? blockDepth_ : kDeepestLevel;
  writeOut(kBlanks, 2 * static_cast<size_t>(levels));
}

} // namespace rib
