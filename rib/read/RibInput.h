// RibInput.h - the reader's bytes: a FILE* or a memory block, taken one chunk at
// a time (gzip-compressed input, recognised by its first bytes, decompressed on the way) into a
// buffer that always ends with a zero byte, so that scanners stop at the end of
// what has arrived without checking bounds on every byte. kPadding bytes after that zero are
// readable too, so that digits can be taken eight at a time.
#pragma once

// gzip in and out need zlib and libdeflate; a build without them (the web page's) says
// RIB_GZIP=0 for the library and everything that sees its insides (CMake option RIB_GZIP).
#ifndef RIB_GZIP
#define RIB_GZIP 1
#endif

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>

namespace rib {

class GzipInput;

class RibInput {
public:
  static constexpr size_t kPadding = 8;

  RibInput();
  ~RibInput();
  RibInput(const RibInput &) = delete;
  RibInput &operator=(const RibInput &) = delete;

  void fromFile(FILE *file, size_t chunkBytes);
  void fromMemory(const void *data, size_t size, size_t chunkBytes);

  char *begin() const { return data_.get(); }
  /// One past the last byte that has arrived; *end() is always 0.
  char *end() const { return end_; }
  /// True once the source has no more bytes (or failed).
  bool exhausted() const { return exhausted_; }
  /// errno of a failed read, else 0.
  int error() const { return error_; }
  /// Why compressed input ended early (corrupt, truncated), or null.
  const char *problem() const;
  /// True when that problem lies after the input's whole data (bytes after the last gzip member).
  bool problemAfterData() const;
  uint64_t offsetOf(const char *at) const { return base_ + static_cast<uint64_t>(at - begin()); }

  /// Moves the bytes from `keep` to end() to the front of the buffer and reads more after them.
  /// Returns the new address of `keep`; `added` is 0 only when the source is exhausted.
  char *refill(const char *keep, size_t &added);

private:
  enum class Source { File, Memory };

  void start(Source source, size_t chunkBytes);
  void allocate(size_t capacity);
  size_t readSome(char *into, size_t most);
  size_t readSource(char *into, size_t most);
  size_t recognise(char *into, size_t most);

  Source source_ = Source::Memory;
  FILE *file_ = nullptr;
  bool direct_ = false; // file_'s bytes taken with read(2), as they arrive
  const char *memory_ = nullptr;
  size_t memoryLeft_ = 0;

  std::unique_ptr<char[]> data_;
  size_t capacity_ = 0; // bytes of data_ for input: the closing zero and padding not included
  size_t chunk_ = 0;
  char *end_ = nullptr;
  uint64_t base_ = 0; // input offset of begin()
  bool exhausted_ = false;
  int error_ = 0;
  bool recognised_ = false;         // the first bytes have been looked at
#if RIB_GZIP
  std::unique_ptr<GzipInput> gzip_; // kept from input to input once made
#endif
  bool compressed_ = false;         // this input is gzip
};

} // namespace rib
