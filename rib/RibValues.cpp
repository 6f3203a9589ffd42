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

} // namespace

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
  if (n < 0) n = 0;
  if (binary) {
    putBinaryArrayHeader(out, static_cast<uint32_t>(n));
    for (int i = 0; i < n; ++i) {
      putBigEndianFloat(out.reserve(4), values[i]);
      out.commit(4);
    }
    return;
  }
  out.put('[');
  for (int i = 0; i < n; ++i) {
    if (i > 0) out.put(' ');
    putFloat(out, values[i], precision);
  }
  out.put(']');
}

void RibWriter::writeInts(const RtInt *values, int n) {
  RibChunk out(stream);
  out.put('[');
  for (int i = 0; i < n; ++i) {
    putInt(out, values[i]);
    out.put(' ');
  }
  out.put(']');
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
