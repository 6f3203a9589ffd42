// RibCharClass.h - what each byte can be in ASCII RIB, for the tokenizer's scanning loops.
#pragma once

#include <array>
#include <cstdint>

namespace rib {

enum : uint8_t {
  kSpace = 1,       // blanks between tokens ('\n' is counted apart)
  kNameStart = 2,   // letters and '_'
  kNameChar = 4,    // letters, digits and '_'
  kNumberStart = 8, // digits, signs and '.'
  kWordChar = 16,   // whatever could continue a number: a malformed one is read whole
};

constexpr std::array<uint8_t, 256> makeClasses() {
  std::array<uint8_t, 256> classes{};
  for (int c = 'a'; c <= 'z'; ++c) classes[c] = kNameStart | kNameChar | kWordChar;
  for (int c = 'A'; c <= 'Z'; ++c) classes[c] = kNameStart | kNameChar | kWordChar;
  classes['_'] = kNameStart | kNameChar | kWordChar;
  for (int c = '0'; c <= '9'; ++c) classes[c] = kNameChar | kNumberStart | kWordChar;
  classes['+'] = classes['-'] = classes['.'] = kNumberStart | kWordChar;
  classes[' '] = classes['\t'] = classes['\r'] = classes['\f'] = classes['\v'] = kSpace;
  return classes;
}

constexpr std::array<uint8_t, 256> kClasses = makeClasses();

inline uint8_t classOf(char c) { return kClasses[static_cast<unsigned char>(c)]; }

} // namespace rib
