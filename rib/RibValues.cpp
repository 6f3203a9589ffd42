// The value writers of RibWriter: single floats, float/integer/string arrays, ASCII or binary.
#include <cstdint>
#include <cstring>

#include "rib/RibText.h"
#include "rib/RibWriter.h"

namespace {

// Binary RIB: a float is its IEEE single, most significant byte first.
inline void putBigEndianFloat(char *at, float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  at[0] = static_cast<char>(bits >> 24);
  at[1] = static_cast<char>(bits >> 16);
  at[2] = static_cast<char>(bits >> 8);
  at[3] = static_cast<char>(bits);
}

// Binary float array header: 0xC8 + 1 length byte up to 0xCB + 4 length bytes.
void putBinaryArrayHeader(RibChunk &out, uint32_t n) {
  int lengthBytes = n < 256u ? 1 : n < 65536u ? 2 : n < 16777216u ? 3 : 4;
  out.put(static_cast<char>(0xC8 + lengthBytes - 1));
  for (int i = lengthBytes - 1; i >= 0; --i) out.put(static_cast<char>(n >> (8 * i)));
}

void putBinaryFloats(RibChunk &out, const RtFloat *values, size_t n) {
  putBinaryArrayHeader(out, static_cast<uint32_t>(n));
  // Convert whole runs into the chunk instead of reserving per value.
  constexpr size_t kRun = RibChunk::kSize / 4;
  while (n > 0) {
    size_t run = n < kRun ? n : kRun;
    char *at = out.reserve(run * 4);
    for (size_t i = 0; i < run; ++i) putBigEndianFloat(at + 4 * i, values[i]);
    out.commit(run * 4);
    values += run;
    n -= run;
  }
}

void putAsciiFloats(RibChunk &out, const RtFloat *values, size_t n, int precision) {
  out.put('[');
  for (size_t i = 0; i < n; ++i) {
    char *at = out.reserve(kFloatTextMax + 1);
    size_t length = 0;
    if (i > 0) at[length++] = ' ';
    length += static_cast<size_t>(precision == 6 ? formatFloatG(values[i], at + length)
                                                 : formatFloatDigits(values[i], precision, at + length));
    out.commit(length);
  }
  out.put(']');
}

} // namespace

void putFloatArray(RibChunk &out, const RtFloat *values, size_t n, bool binary, int precision) {
  if (binary) putBinaryFloats(out, values, n);
  else putAsciiFloats(out, values, n, precision);
}

void putIntArray(RibChunk &out, const RtInt *values, size_t n) {
  out.put('[');
  for (size_t i = 0; i < n; ++i) {
    putInt(out, values[i]);
    out.put(' ');
  }
  out.put(']');
}

void putTextArray(RibChunk &out, RtToken const *texts, size_t n) {
  out.put('[');
  for (size_t i = 0; i < n; ++i) {
    if (i > 0) out.put(' ');
    putQuoted(out, texts[i]);
  }
  out.put(']');
}

void RibWriter::writeFloat(RtFloat value) {
  RibChunk out(stream);
  if (binary) {
    char *at = out.reserve(5);
    at[0] = static_cast<char>(0xA4);
    putBigEndianFloat(at + 1, value);
    out.commit(5);
    return;
  }
  putFloat(out, value, precision);
  out.put(' ');
}

void RibWriter::writeFloats(const RtFloat *values, int n) {
  RibChunk out(stream);
  putFloatArray(out, values, n > 0 ? static_cast<size_t>(n) : 0, binary != 0, precision);
}

void RibWriter::writeInts(const RtInt *values, int n) {
  RibChunk out(stream);
  putIntArray(out, values, n > 0 ? static_cast<size_t>(n) : 0);
}

void RibWriter::writeStrings(RtToken const *texts, int n) {
  RibChunk out(stream);
  out.put('[');
  for (int i = 0; i < n; ++i) {
    putQuoted(out, texts[i]);
    out.put(' ');
  }
  out.put(']');
}
