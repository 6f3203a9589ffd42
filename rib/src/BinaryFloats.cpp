// Big-endian copies of float arrays, the bulk of binary RIB: a byte shuffle per eight floats with
// AVX2 where the processor has it, four at a time with SSE2 otherwise. Each copy also tells
// whether every value was finite, at the cost of two operations per register: the exponent field
// plus one carries into the sign bit only when the field is all ones (NaN, +-Inf).
#include "BinaryFloats.h"

#include <cstdint>
#include <cstring>
#if defined(__x86_64__) || defined(__SSE2__)
#include <immintrin.h>
#endif

namespace rib {
namespace {

constexpr uint32_t kExponent = 0x7f800000u;
constexpr uint32_t kExponentOne = 0x00800000u;

inline uint32_t toBigEndian(uint32_t bits) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
  return bits;
#else
  return __builtin_bswap32(bits);
#endif
}

// Returns the carried exponents: bit 31 set when a value was not finite.
uint32_t copyBigEndianTail(char *out, const RtFloat *values, size_t n) {
  uint32_t carried = 0;
  for (size_t i = 0; i < n; ++i) {
    uint32_t bits;
    std::memcpy(&bits, values + i, sizeof bits);
    carried |= (bits & kExponent) + kExponentOne;
    bits = toBigEndian(bits);
    std::memcpy(out + 4 * i, &bits, sizeof bits);
  }
  return carried;
}

#if defined(__x86_64__) && defined(__GNUC__)
// One byte shuffle per eight floats where the processor has AVX2.
__attribute__((target("avx2"))) bool copyBigEndianAvx2(char *out, const RtFloat *values, size_t n) {
  const __m256i order = _mm256_setr_epi8(3, 2, 1, 0, 7, 6, 5, 4, 11, 10, 9, 8, 15, 14, 13, 12, 3, 2,
                                         1, 0, 7, 6, 5, 4, 11, 10, 9, 8, 15, 14, 13, 12);
  const __m256i exponent = _mm256_set1_epi32(static_cast<int>(kExponent));
  const __m256i exponentOne = _mm256_set1_epi32(static_cast<int>(kExponentOne));
  __m256i carried = _mm256_setzero_si256();
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(values + i));
    carried =
        _mm256_or_si256(carried, _mm256_add_epi32(_mm256_and_si256(v, exponent), exponentOne));
    _mm256_storeu_si256(reinterpret_cast<__m256i *>(out + 4 * i), _mm256_shuffle_epi8(v, order));
  }
  const bool finite = _mm256_movemask_ps(_mm256_castsi256_ps(carried)) == 0;
  return finite && !(copyBigEndianTail(out + 4 * i, values + i, n - i) & 0x80000000u);
}
#endif

} // namespace

// With SSE2 (every x86-64 has it) bytes swap within 16-bit halves, then the halves swap within
// each 32-bit value.
__attribute__((noinline)) bool copyBigEndian(char *out, const RtFloat *values, size_t n) {
#if defined(__x86_64__) && defined(__GNUC__)
  static const bool hasAvx2 = __builtin_cpu_supports("avx2");
  if (hasAvx2) return copyBigEndianAvx2(out, values, n);
#endif
  size_t i = 0;
  bool finite = true;
#if defined(__SSE2__) && !(defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__)
  const __m128i exponent = _mm_set1_epi32(static_cast<int>(kExponent));
  const __m128i exponentOne = _mm_set1_epi32(static_cast<int>(kExponentOne));
  __m128i carried = _mm_setzero_si128();
  for (; i + 4 <= n; i += 4) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(values + i));
    carried = _mm_or_si128(carried, _mm_add_epi32(_mm_and_si128(v, exponent), exponentOne));
    v = _mm_or_si128(_mm_slli_epi16(v, 8), _mm_srli_epi16(v, 8));
    v = _mm_shufflelo_epi16(v, _MM_SHUFFLE(2, 3, 0, 1));
    v = _mm_shufflehi_epi16(v, _MM_SHUFFLE(2, 3, 0, 1));
    _mm_storeu_si128(reinterpret_cast<__m128i *>(out + 4 * i), v);
  }
  finite = _mm_movemask_ps(_mm_castsi128_ps(carried)) == 0;
#endif
  return !(copyBigEndianTail(out + 4 * i, values + i, n - i) & 0x80000000u) && finite;
}

} // namespace rib
