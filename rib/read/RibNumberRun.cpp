// Arrays of ASCII numbers in bulk: the hot loop of reading a large mesh.
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "RibCharClass.h"
#include "RibTokenizer.h"

namespace rib {
namespace {

// The bytes of a 64-byte block that matter to the numbers in it, one bit per byte.
struct BlockBits {
  uint64_t blanks;    // space, or tab to carriage return
  uint64_t lineFeeds; // '\n'
  uint64_t dots;      // '.'
  uint64_t exponents; // 'e' or 'E'
};

#if defined(__SSE2__)
inline uint64_t maskOf(__m128i matches, int part) {
  return uint64_t(uint32_t(_mm_movemask_epi8(matches))) << (16 * part);
}
#endif

// Blanks and line feeds.
inline void findBlanks(const char *p, BlockBits &bits) {
  bits.blanks = bits.lineFeeds = 0;
#if defined(__SSE2__)
  const __m128i space = _mm_set1_epi8(' ');
  const __m128i tab = _mm_set1_epi8('\t');
  const __m128i four = _mm_set1_epi8(4);
  const __m128i lineFeed = _mm_set1_epi8('\n');
  for (int part = 0; part < 4; ++part) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + 16 * part));
    const __m128i control = _mm_sub_epi8(bytes, tab); // tab to carriage return: 0 to 4
    bits.blanks |= maskOf(_mm_or_si128(_mm_cmpeq_epi8(bytes, space),
                                       _mm_cmpeq_epi8(_mm_min_epu8(control, four), control)),
                          part);
    bits.lineFeeds |= maskOf(_mm_cmpeq_epi8(bytes, lineFeed), part);
  }
#else
  for (int i = 0; i < 64; ++i) {
    bits.blanks |= uint64_t((classOf(p[i]) & kSpace) || p[i] == '\n') << i;
    bits.lineFeeds |= uint64_t(p[i] == '\n') << i;
  }
#endif
}

// Points and exponent marks: only numbers other than plain integers need them.
inline void findMarks(const char *p, BlockBits &bits) {
  bits.dots = bits.exponents = 0;
#if defined(__SSE2__)
  const __m128i dot = _mm_set1_epi8('.');
  const __m128i lowerCase = _mm_set1_epi8(0x20);
  const __m128i e = _mm_set1_epi8('e');
  for (int part = 0; part < 4; ++part) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + 16 * part));
    bits.dots |= maskOf(_mm_cmpeq_epi8(bytes, dot), part);
    bits.exponents |= maskOf(_mm_cmpeq_epi8(_mm_or_si128(bytes, lowerCase), e), part);
  }
#else
  for (int i = 0; i < 64; ++i) {
    bits.dots |= uint64_t(p[i] == '.') << i;
    bits.exponents |= uint64_t(p[i] == 'e' || p[i] == 'E') << i;
  }
#endif
}

// The first set bit at or after `from`, or 64.
inline unsigned firstFrom(uint64_t bits, unsigned from) {
  const uint64_t rest = bits >> from;
  return rest ? from + static_cast<unsigned>(__builtin_ctzll(rest)) : 64;
}

inline unsigned countBits(uint64_t bits) {
  unsigned count = 0;
  for (; bits; bits &= bits - 1) ++count;
  return count;
}

} // namespace

// Numbers in whole blocks of 64 bytes. The blanks' bits give where each token starts and ends,
// so finding the next number never waits for the digits of the last to be converted, and the
// conversions overlap. Stops before a token that is not a plain number followed by a blank, and
// where less than a block is left. Integer arrays take a loop of their own until a number that
// is no integer turns them into float arrays (ints becomes null).
char *RibTokenizer::blockNumbers(char *p, const char *end, float *&floats, int32_t *&ints) {
  if (ints) p = blockNumbersOf<true>(p, end, floats, ints);
  if (!ints) p = blockNumbersOf<false>(p, end, floats, ints);
  return p;
}

template <bool kIntegers>
char *RibTokenizer::blockNumbersOf(char *p, const char *end, float *&floatsOut, int32_t *&intsOut) {
  // Locals, not the references: kept in registers across the loop.
  float *floats = floatsOut;
  int32_t *ints = intsOut;
  while (end - p >= 64) {
    BlockBits bits;
    findBlanks(p, bits);
    bool marksFound = !kIntegers;
    if (marksFound) findMarks(p, bits);
    // A block begins at a token or at a blank that ends one.
    uint64_t starts = ~bits.blanks & ((bits.blanks << 1) | 1);
    uint64_t ends = bits.blanks & ~((bits.blanks << 1) | 1);
    unsigned at = 64; // bytes of the block taken
    bool stop = false;
    while (starts) {
      const unsigned start = static_cast<unsigned>(__builtin_ctzll(starts));
      if (!ends) {
        // The token goes on past the block: the next block starts with it, unless it fills a
        // whole block.
        at = start;
        stop = start == 0;
        break;
      }
      const unsigned tokenEnd = static_cast<unsigned>(__builtin_ctzll(ends));
      starts &= starts - 1;
      ends &= ends - 1;
      const char *token = p + start;
      if (kIntegers) {
        uint64_t digits;
        if (tokenEnd - start <= 8 &&
            numberdetail::digitsValue(numberdetail::eightBytes(token), tokenEnd - start, digits)) {
          // Indices and counts: unsigned integers of up to eight digits.
          *ints++ = static_cast<int32_t>(digits);
          *floats++ = static_cast<float>(digits); // one rounding, as strtof
          continue;
        }
      }
      if (!marksFound) {
        findMarks(p, bits);
        marksFound = true;
      }
      RibNumber number;
      if (!readShortNumber(token, p + tokenEnd, p + firstFrom(bits.dots, start),
                           p + firstFrom(bits.exponents, start), number, scratch_)) {
        if (!longNumber(token, p + tokenEnd)) {
          at = start;
          stop = true;
          break;
        }
        number = longNumber_;
      }
      *floats++ = number.value;
      if (kIntegers) {
        if (!number.isInteger) {
          // From here on a float array: the rest of the block goes the float way.
          ints = nullptr;
          at = tokenEnd;
          break;
        }
        *ints++ = number.integer;
      }
    }
    line_ += countBits(at == 64 ? bits.lineFeeds : bits.lineFeeds & ((uint64_t(1) << at) - 1));
    p += at;
    if (stop || (kIntegers && !ints)) break;
  }
  floatsOut = floats;
  intsOut = ints;
  return p;
}

// Whether [token, end) is exactly a number too long for readShortNumber; it goes to longNumber_
// (a member, so that the caller's number stays in registers).
bool RibTokenizer::longNumber(const char *token, const char *end) {
  return (classOf(*token) & kNumberStart) && scanRibNumber(token, longNumber_, scratch_) == end;
}

void RibTokenizer::readNumbers(NumberArray &array) {
  for (;;) {
    char *p = p_;
    // Room for every number the buffer can hold (each is a byte and a blank at least), so the
    // loop writes through pointers.
    const size_t most = static_cast<size_t>(input_.end() - p) / 2 + 1;
    float *floats = pools_.floats.room(most);
    int32_t *ints = array.allIntegers ? pools_.ints.room(most) : nullptr;
    const char *const end = input_.end();
    bool bufferEnd = false;
    p = blockNumbers(p, end, floats, ints);
    for (;;) {
      const char c = *p;
      const uint8_t kind = classOf(c);
      if (kind & kSpace) {
        ++p;
      } else if (c == '\n') {
        ++line_;
        ++p;
      } else if (kind & kNumberStart) {
        // Most arrays are indices or counts: up to seven digits and a blank take a short cut.
        uint64_t digits;
        const size_t n = numberdetail::leadingDigits(p, digits);
        if (ints && n - 1 < 7 && (p[n] == ' ' || p[n] == '\n')) {
          *ints++ = static_cast<int32_t>(digits);
          *floats++ = static_cast<float>(digits); // exact below 2^24
          p += n;
          continue;
        }
        RibNumber number;
        const char *stop = scanRibNumber(p, number, scratch_);
        // Numbers that reach the end of the buffer, and malformed ones, go the long way.
        if (!stop || stop == end || (classOf(*stop) & kWordChar)) break;
        if (ints) {
          if (number.isInteger)
            *ints++ = number.integer;
          else
            ints = nullptr;
        }
        *floats++ = number.value;
        p = const_cast<char *>(stop);
        p = blockNumbers(p, end, floats, ints); // back to blocks after a long or odd number
      } else if (static_cast<unsigned char>(c) >= 0x80 && static_cast<unsigned char>(c) <= 0x83) {
        // A binary integer of 1 to 4 bytes (compact RIB's index arrays): read in place.
        const size_t bytes = (static_cast<unsigned char>(c) & 3u) + 1;
        if (static_cast<size_t>(end - p) < 1 + bytes) {
          bufferEnd = !input_.exhausted();
          break;
        }
        uint32_t value = 0;
        for (size_t i = 1; i <= bytes; ++i) value = value << 8 | static_cast<unsigned char>(p[i]);
        // Unsigned in one to three bytes, two's complement in four, as a token reads.
        const int32_t integer = static_cast<int32_t>(value);
        if (ints) *ints++ = integer;
        *floats++ = static_cast<float>(integer);
        p += 1 + bytes;
      } else {
        bufferEnd = p == end && !input_.exhausted();
        break;
      }
    }
    pools_.floats.commit(floats);
    if (ints) {
      pools_.ints.commit(ints);
    } else if (array.allIntegers) {
      array.allIntegers = false;
      pools_.ints.resize(array.firstInt);
    }
    p_ = p;
    if (!bufferEnd || pools_.bytes() > limits_.requestBytes) return;
    more();
  }
}

} // namespace rib
