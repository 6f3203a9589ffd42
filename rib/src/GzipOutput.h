// GzipOutput.h - gzip compression of a RIB stream.
//
// The bytes a context writes gather in a buffer; each full buffer (and each flush) becomes one
// gzip member, compressed whole, and goes to the stream. A gzip file may hold any number of
// members one after the other: gzip -d and zlib-based readers (gzread) read them as one
// stream, and what they give back is exactly what the context wrote.
//
//     GzipOutput gzip(6);
//     gzip.add(bytes, n, file);   // 0, or the errno of a failed write
//     gzip.finish(file);          // the last member
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>

struct libdeflate_compressor;

namespace rib {

class GzipOutput {
public:
  /// Bytes compressed into one member: large enough that the ratio is that of one whole stream.
  static constexpr size_t kMemberBytes = 1 << 20;
  static constexpr int kDefaultLevel = 6;

  /// `level` 1 (fastest) to 9 (smallest). Throws std::bad_alloc without memory.
  explicit GzipOutput(int level);
  ~GzipOutput();
  GzipOutput(const GzipOutput &) = delete;
  GzipOutput &operator=(const GzipOutput &) = delete;

  /// Takes n bytes; each full buffer goes to `stream` as a member. Returns 0 or the errno of a
  /// failed write.
  int add(const char *bytes, size_t n, FILE *stream);
  /// Writes what is gathered as a member, so that a reader can decode everything so far.
  int flush(FILE *stream);
  /// The last member (an empty one when nothing was written since the last).
  int finish(FILE *stream);

private:
  int writeMember(FILE *stream);

  libdeflate_compressor *compressor_;
  std::unique_ptr<char[]> input_;
  std::unique_ptr<char[]> output_;
  size_t outputCapacity_ = 0;
  size_t used_ = 0;
  bool wroteMember_ = false;
};

} // namespace rib
