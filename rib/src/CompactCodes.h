// CompactCodes.h - the request codes and string definitions of one compact RIB output.
//
// In the compact encoding a request name is defined once per output (a one-byte code) and
// referred to by that code from then on; a text that comes back (a parameter token, a shader
// name) is defined the second time it is written and referred to by a one- or two-byte code
// after that. A text written once costs nothing extra, and every table here has a fixed bound:
// once one is full, further names and texts are written in place.
//
//     bool define;
//     const int code = codes.requestCode("Sphere", define);   // define: write the definition
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace rib {

class CompactCodes {
public:
  static constexpr int kRequestCodes = 256;
  static constexpr uint32_t kStringCodes = 65536;
  /// Shorter texts cost no more in place than a reference; longer ones are seldom repeated.
  static constexpr size_t kShortestDefined = 2;
  static constexpr size_t kLongestDefined = 255;
  /// Bytes of the texts remembered, defined or seen once.
  static constexpr size_t kTextBytes = size_t(4) << 20;

  /// The code of the request `name` (a literal: its address stands for its text), `define` set
  /// when its definition is to be written now; -1 once all codes are taken.
  int requestCode(const char *name, bool &define);
  /// The code of a text, `define` set when its definition is to be written now; -1 when the text
  /// is to be written in place (its first time, or a text that is not worth a code).
  long stringCode(const char *text, size_t length, bool &define);

private:
  struct Slot {
    uint32_t hash;
    uint32_t offset; // of the text in texts_
    uint32_t length;
    int32_t code; // -1: seen once, no code yet
  };

  int findRequest(const char *name) const;
  Slot *findSlot(const char *text, size_t length, uint32_t hash);
  bool grow();

  // Request codes: the names by code, and a cache from the name's address (names are mostly
  // literals) that spares the comparisons.
  std::vector<std::string> requests_;
  struct Cached {
    const char *name;
    int code;
  };
  Cached requestCache_[kRequestCodes] = {};

  std::unique_ptr<Slot[]> slots_; // open addressing; hash 0 marks an empty slot
  size_t slotCount_ = 0;
  size_t used_ = 0;
  uint32_t nextCode_ = 0;
  std::vector<char> texts_;
};

} // namespace rib
