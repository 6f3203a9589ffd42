// The value writers of RibWriter: single floats, float/integer/string arrays, ASCII or binary.
#include <cstdint>
#include <cstring>
#if defined(__x86_64__) || defined(__SSE2__)
#include <immintrin.h>
#endif

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

inline uint32_t toBigEndian(uint32_t bits) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
  return bits;
#else
  return __builtin_bswap32(bits);
#endif
}

void copyBigEndianTail(char *out, const RtFloat *values, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    uint32_t bits;
    std::memcpy(&bits, values + i, sizeof bits);
    bits = toBigEndian(bits);
    std::memcpy(out + 4 * i, &bits, sizeof bits);
  }
}

#if defined(__x86_64__) && defined(__GNUC__)
// One byte shuffle per eight floats where the processor has AVX2.
__attribute__((target("avx2"))) void copyBigEndianAvx2(char *out, const RtFloat *values, size_t n) {
  const __m256i order = _mm256_setr_epi8(3, 2, 1, 0, 7, 6, 5, 4, 11, 10, 9, 8, 15, 14, 13, 12, 3, 2,
                                         1, 0, 7, 6, 5, 4, 11, 10, 9, 8, 15, 14, 13, 12);
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(values + i));
    _mm256_storeu_si256(reinterpret_cast<__m256i *>(out + 4 * i), _mm256_shuffle_epi8(v, order));
  }
  copyBigEndianTail(out + 4 * i, values + i, n - i);
}
#endif

// Big-endian copies of n floats: eight at a time with AVX2 where the processor has it, else four at
// a time with SSE2 (every x86-64 has it): bytes swap within 16-bit halves, then the halves swap
// within each 32-bit value.
__attribute__((noinline)) void copyBigEndian(char *out, const RtFloat *values, size_t n) {
#if defined(__x86_64__) && defined(__GNUC__)
  static const bool hasAvx2 = __builtin_cpu_supports("avx2");
  if (hasAvx2) {
    copyBigEndianAvx2(out, values, n);
    return;
  }
#endif
  size_t i = 0;
#if defined(__SSE2__) && !(defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__)
  for (; i + 4 <= n; i += 4) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(values + i));
    v = _mm_or_si128(_mm_slli_epi16(v, 8), _mm_srli_epi16(v, 8));
    v = _mm_shufflelo_epi16(v, _MM_SHUFFLE(2, 3, 0, 1));
    v = _mm_shufflehi_epi16(v, _MM_SHUFFLE(2, 3, 0, 1));
    _mm_storeu_si128(reinterpret_cast<__m128i *>(out + 4 * i), v);
  }
#endif
  copyBigEndianTail(out + 4 * i, values + i, n - i);
}

// Binary float array header: 0xC8 + 1 length byte up to 0xCB + 4 length bytes.
void putBinaryArrayHeader(RibChunk &out, uint32_t n) {
  int lengthBytes = n < 256u ? 1 : n < 65536u ? 2 : n < 16777216u ? 3 : 4;
  out.put(static_cast<char>(0xC8 + lengthBytes - 1));
  for (int i = lengthBytes - 1; i >= 0; --i) out.put(static_cast<char>(n >> (8 * i)));
}

void putBinaryFloats(RibChunk &out, const RtFloat *values, size_t n) {
  putBinaryArrayHeader(out, static_cast<uint32_t>(n));
  if (n >= RibChunk::kSize) {
    // Large arrays go out in megabyte pieces: one system call per piece instead of one per chunk.
    // The piece buffer is process-wide, as the library is used from one thread.
    out.flushThrough();
    static char swapped[1 << 20];
    constexpr size_t kBig = sizeof swapped / 4;
    while (n >= kBig) {
      copyBigEndian(swapped, values, kBig);
      out.writeDirect(swapped, sizeof swapped);
      values += kBig;
      n -= kBig;
    }
  }
  // Convert whole runs into the chunk instead of reserving per value.
  constexpr size_t kRun = RibChunk::kSize / 4;
  while (n > 0) {
    size_t run = n < kRun ? n : kRun;
    copyBigEndian(out.reserve(run * 4), values, run);
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
    length +=
        static_cast<size_t>(precision == 6 ? formatFloatG(values[i], at + length)
                                           : formatFloatDigits(values[i], precision, at + length));
    out.commit(length);
  }
  out.put(']');
}

} // namespace

void putFloatArray(RibChunk &out, const RtFloat *values, size_t n, bool binary, int precision) {
  if (binary)
    putBinaryFloats(out, values, n);
  else
    putAsciiFloats(out, values, n, precision);
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
