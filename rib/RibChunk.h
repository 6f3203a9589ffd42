// RibChunk.h - a request's local output buffer.
//
// Request writers format into a RibChunk on the stack and hand the bytes to the stdio stream in
// large pieces (when the chunk fills and when it goes out of scope), instead of one stdio call per
// number. Handing over at the end of every writer keeps the stream's own buffering and ordering:
// what a request wrote is in the FILE when the call returns, and exit() flushes it as usual.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstring>

class RibChunk {
public:
  static constexpr size_t kSize = 65536;

  explicit RibChunk(FILE *stream) : stream_(stream) {}
  ~RibChunk() { flush(); }
  RibChunk(const RibChunk &) = delete;
  RibChunk &operator=(const RibChunk &) = delete;

  void put(char c) {
    if (used_ == kSize) flush();
    buffer_[used_++] = c;
  }

  void put(const char *text, size_t length) {
    while (length > 0) {
      if (used_ == kSize) flush();
      size_t n = kSize - used_ < length ? kSize - used_ : length;
      std::memcpy(buffer_ + used_, text, n);
      used_ += n;
      text += n;
      length -= n;
    }
  }

  void put(const char *text) { put(text, std::strlen(text)); }

  /// Room for `length` more bytes (length <= kSize); write there, then commit(written).
  char *reserve(size_t length) {
    if (kSize - used_ < length) flush();
    return buffer_ + used_;
  }
  void commit(size_t length) { used_ += length; }

  void flush() {
    if (used_ > 0 && stream_) fwrite(buffer_, 1, used_, stream_);
    used_ = 0;
  }

  /// Also empties the stream's own buffer, so that the following full chunks go to the file
  /// in one system call each instead of being split around the stream's pending bytes.
  void writeDirect(const char *data, size_t length) {
    flush();
    if (stream_) fwrite(data, 1, length, stream_);
  }
  void flushThrough() {
    flush();
    if (stream_) fflush(stream_);
  }

private:
  FILE *stream_;
  size_t used_ = 0;
  char buffer_[kSize];
};
