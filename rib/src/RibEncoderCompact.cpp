// The encoder's compact encoding: every token binary. Requests are encoded request codes, texts
// binary strings (a repeated one defined once and then referred to), integers and single floats
// the shortest binary form that holds the value exactly, float arrays as in the binary encoding.
// Binary tokens need no blanks between them, so the layout characters of the text encodings
// (blanks and line ends) are left out; brackets stay, one byte each.
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "BinaryFloats.h"
#include "RibEncoder.h"

namespace rib {
namespace {

// Binary codes: integers (0x80 + bytes - 1, with fraction bytes << 2 for fixed point), strings
// up to 15 bytes (0x90 + length) and longer (0xA0 + length bytes - 1), single float,
// request and string definitions and references.
constexpr unsigned char kInteger = 0x80;
constexpr unsigned char kShortString = 0x90;
constexpr unsigned char kLongString = 0xA0;
constexpr unsigned char kFloat = 0xA4;
constexpr unsigned char kRequest = 0xA6;
constexpr unsigned char kDefineRequest = 0xCC;
constexpr unsigned char kDefineString = 0xCD;    // 0xCE: two-byte code
constexpr unsigned char kStringReference = 0xCF; // 0xD0: two-byte code

// Bytes an integer form needs, 1 to 4. The forms of one to three bytes are read unsigned, as
// other writers write them; a negative value takes the four-byte two's complement form.
int integerBytes(int64_t value) {
  if (value < 0) return 4;
  if (value <= 0xFF) return 1;
  if (value <= 0xFFFF) return 2;
  if (value <= 0xFFFFFF) return 3;
  return 4;
}

char *putBigEndian(char *at, uint64_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) *at++ = static_cast<char>(value >> (8 * i));
  return at;
}

char *putCompactInt(char *at, int32_t value) {
  const int bytes = integerBytes(value);
  *at++ = static_cast<char>(kInteger + bytes - 1);
  return putBigEndian(at, static_cast<uint32_t>(value), bytes);
}

// A float as the shortest of: an integer or fixed-point form of up to 3 bytes (value times
// 256^f a whole number, f fraction bytes; not negative, as those forms are unsigned), or the
// IEEE single. -0 keeps its sign as a single. Worked out from the bits: the lowest set bit of
// the significand says how many fraction bytes the value needs, its exponent how many in all.
char *putCompactFloat(char *at, RtFloat value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  if (bits == 0) {
    at[0] = static_cast<char>(kInteger);
    at[1] = 0;
    return at + 2;
  }
  const int biased = static_cast<int>(bits >> 23 & 0xFF);
  // Negative, subnormal, infinite and NaN values have no short form.
  if (bits >> 31 == 0 && biased != 0 && biased != 0xFF) {
    const int exponent = biased - 127;
    const uint32_t significand =
        (bits & 0x7FFFFF) | 0x800000; // value = significand * 2^(exponent - 23)
    const int lowest = exponent - 23 + __builtin_ctz(significand); // weight of the lowest set bit
    const int fraction = lowest < 0 ? (-lowest + 7) / 8 : 0;
    const int shift = 23 - exponent - 8 * fraction; // scaled = significand >> shift
    if (fraction <= 2 && shift >= 0 && shift < 32) {
      const uint32_t scaled = significand >> shift;
      const int bytes = scaled <= 0xFF ? 1 : scaled <= 0xFFFF ? 2 : 3;
      *at++ = static_cast<char>(kInteger + (fraction << 2) + bytes - 1);
      return putBigEndian(at, scaled, bytes);
    }
  }
  *at++ = static_cast<char>(kFloat);
  copyBigEndian(at, &value, 1);
  return at + 4;
}

// The header of a binary string of `length` bytes.
char *putStringHeader(char *at, size_t length) {
  if (length < 16) {
    *at++ = static_cast<char>(kShortString + length);
    return at;
  }
  const int bytes = length < 256u ? 1 : length < 65536u ? 2 : length < 16777216u ? 3 : 4;
  *at++ = static_cast<char>(kLongString + bytes - 1);
  return putBigEndian(at, length, bytes);
}

char *putCode(char *at, unsigned char oneByte, long code) {
  const int bytes = code < 256 ? 1 : 2;
  *at++ = static_cast<char>(oneByte + bytes - 1);
  return putBigEndian(at, static_cast<uint64_t>(code), bytes);
}

} // namespace

void RibEncoder::writeCompactKeyword(const char *name) {
  bool define;
  const int code = codes_.requestCode(name, define);
  if (code < 0) {
    writeRaw(name); // all codes taken: the name in text, ended by a blank
    writeRaw(" ", 1);
    return;
  }
  const size_t length = define ? std::strlen(name) : 0;
  char *at = reserve(12 + length);
  char *p = at;
  if (define) {
    *p++ = static_cast<char>(kDefineRequest);
    *p++ = static_cast<char>(code);
    p = putStringHeader(p, length);
    std::memcpy(p, name, length);
    p += length;
  }
  *p++ = static_cast<char>(kRequest);
  *p++ = static_cast<char>(code);
  commit(static_cast<size_t>(p - at));
}

void RibEncoder::writeCompactText(const char *text) {
  const size_t length = text ? std::strlen(text) : 0;
  bool define;
  const long code = codes_.stringCode(text, length, define);
  char *at = reserve(16);
  char *p = at;
  if (code >= 0 && !define) {
    commit(static_cast<size_t>(putCode(p, kStringReference, code) - at));
    return;
  }
  if (define) p = putCode(p, kDefineString, code);
  p = putStringHeader(p, length);
  commit(static_cast<size_t>(p - at));
  writeRaw(text, length);
  if (define) {
    at = reserve(3);
    commit(static_cast<size_t>(putCode(at, kStringReference, code) - at));
  }
}

void RibEncoder::writeCompactInt(long long value) {
  if (value < INT32_MIN || value > INT32_MAX) {
    // Beyond the 4-byte form (a handle on a 64-bit host): decimal text between blanks.
    char text[32];
    const int length = std::snprintf(text, sizeof text, " %lld ", value);
    writeRaw(text, static_cast<size_t>(length));
    return;
  }
  char *at = reserve(5);
  commit(static_cast<size_t>(putCompactInt(at, static_cast<int32_t>(value)) - at));
}

void RibEncoder::writeCompactFloat(RtFloat value) {
  char *at = reserve(5);
  commit(static_cast<size_t>(putCompactFloat(at, value) - at));
}

void RibEncoder::writeCompactInts(const RtInt *values, long long n) {
  constexpr long long kBatch = static_cast<long long>(kBufferSize / 5);
  writeRaw("[", 1);
  for (long long done = 0; done < n;) {
    const long long batch = n - done < kBatch ? n - done : kBatch;
    char *const start = reserve(static_cast<size_t>(batch) * 5);
    char *p = start;
    for (const RtInt *v = values + done, *stop = v + batch; v < stop; ++v) p = putCompactInt(p, *v);
    commit(static_cast<size_t>(p - start));
    done += batch;
  }
  writeRaw("]", 1);
}

} // namespace rib
