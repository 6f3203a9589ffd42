// GzipInput.h - gzip-compressed RIB read as a stream, in bounded memory: the compressed bytes
// come through a buffer of fixed size, the decompressed ones go straight into the reader's
// chunk. A gzip file may hold several members one after the other; they are read as one
// stream. Zero bytes after the last member (padding, as gzip itself accepts) end it quietly.
// Corrupt or truncated input ends the stream with one message; so do other bytes after the last
// member, which leave everything before them whole (trailingProblem()).
//
//     GzipInput gzip;
//     gzip.start(firstBytes, n);                    // the bytes read to recognise the input
//     size_t got = gzip.read(into, most, source);   // source(buffer, room) gives raw bytes
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

namespace rib {

class GzipInput {
public:
  static constexpr size_t kCompressedBytes = 64 * 1024;

  /// True when `bytes` begin like a gzip member (the two magic bytes).
  static bool recognises(const char *bytes, size_t n) {
    return n >= 2 && static_cast<unsigned char>(bytes[0]) == 0x1F &&
           static_cast<unsigned char>(bytes[1]) == 0x8B;
  }

  GzipInput();
  ~GzipInput();
  GzipInput(const GzipInput &) = delete;
  GzipInput &operator=(const GzipInput &) = delete;

  /// Begins a stream with the n compressed bytes already read (at most kCompressedBytes).
  void start(const char *bytes, size_t n);
  /// Up to `most` decompressed bytes into `into`, reading compressed ones from `source` (which
  /// returns 0 at the end of its input); 0 at the end of the stream or after a problem.
  size_t read(char *into, size_t most, const std::function<size_t(char *, size_t)> &source);
  /// What went wrong, or null.
  const char *problem() const { return problem_ ? message_ : nullptr; }
  /// True when the problem lies after the last whole member: what was decompressed is whole.
  bool trailingProblem() const { return problem_ && trailing_; }

private:
  struct Stream;
  std::unique_ptr<Stream> stream_;
  std::unique_ptr<char[]> compressed_;
  bool sourceEnded_ = false;
  bool memberEnded_ = false;
  bool done_ = false;
  bool afterMember_ = false; // a member ended and the next has produced nothing yet
  bool trailing_ = false;
  const char *problem_ = nullptr;
  char message_[160] = "";
  void fail(const char *problem, const char *detail);
  /// At least n unread compressed bytes, when the source still has them.
  bool have(size_t n, const std::function<size_t(char *, size_t)> &source);
  /// After the last member: zeros to the end are padding, anything else a problem.
  void endAfterMembers(const std::function<size_t(char *, size_t)> &source);
};

} // namespace rib
