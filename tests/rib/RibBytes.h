// Expected bytes of binary RIB, spelled out independently of the writers under test.
#pragma once

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>

namespace ribbytes {

/// The IEEE single, most significant byte first.
inline std::string single(float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  std::string out;
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((bits >> shift) & 0xFF);
  return out;
}

/// One binary float: 0xA4 and its four bytes.
inline std::string binaryFloat(float value) { return "\xA4" + single(value); }

/// A binary float array of fewer than 256 values: 0xC8, the count, the values.
inline std::string binaryFloats(std::initializer_list<float> values) {
  std::string out = "\xC8";
  out += static_cast<char>(values.size());
  for (float value : values) out += single(value);
  return out;
}

} // namespace ribbytes
