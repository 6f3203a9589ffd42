// Big-endian copies of float arrays, the bulk of binary RIB: a byte shuffle per eight floats with
// AVX2 where the processor has it, four at a time with SSE2 otherwise.
#include "BinaryFloats.h"

#include <cstdint>
#include <cstring>
#if defined(__x86_64__) || defined(__SSE2__)
#include <immintrin.h>
#endif

namespace rib {
namespace {

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

} // namespace

// With SSE2 (every x86-64 has it) bytes swap within 16-bit halves, then the halves swap within
// each 32-bit value.
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

} // namespace rib
