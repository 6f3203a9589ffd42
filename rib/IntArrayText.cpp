// Integer array text in batches: each batch reserves room for its longest possible text (sign,
// ten digits and a blank per value) and commits what it wrote, so the inner loop has no
// per-value bounds checks.
#include "rib/IntArrayText.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr size_t kMaxValueText = 12;  // "-2147483648 "
constexpr long long kBatch = static_cast<long long>(RibChunk::kSize / kMaxValueText);

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

int decimalLength(uint32_t v) {
  int length = 1;
  for (uint32_t bound = 10; length < 10 && v >= bound; bound *= 10) ++length;
  return length;
}

// Writes v in decimal at `at`, last pairs first; returns the end.
char *putDecimal(char *at, uint32_t v) {
  char *const end = at + decimalLength(v);
  char *p = end;
  while (v >= 100) {
    p -= 2;
    std::memcpy(p, kDigitPairs + 2 * (v % 100), 2);
    v /= 100;
  }
  if (v >= 10) std::memcpy(p - 2, kDigitPairs + 2 * v, 2);
  else p[-1] = static_cast<char>('0' + v);
  return end;
}

} // namespace

void putIntArray(RibChunk &out, const RtInt *values, long long n) {
  out.put('[');
  for (long long done = 0; done < n;) {
    const long long batch = n - done < kBatch ? n - done : kBatch;
    char *const start = out.reserve(static_cast<size_t>(batch) * kMaxValueText);
    char *p = start;
    for (const RtInt *v = values + done, *stop = v + batch; v < stop; ++v) {
      if (*v < 0) *p++ = '-';
      // The magnitude of INT_MIN only fits unsigned.
      p = putDecimal(p, *v < 0 ? 0u - static_cast<uint32_t>(*v) : static_cast<uint32_t>(*v));
      *p++ = ' ';
    }
    out.commit(static_cast<size_t>(p - start));
    done += batch;
  }
  out.put(']');
}
