// Decompression with zlib's inflate, which decodes a stream piece by piece (whole-buffer
// decompressors would need the whole file in memory). windowBits 15 + 16: gzip members only.
#include "GzipInput.h"

#include <cstdio>
#include <cstring>
#include <new>

#include <zlib.h>

namespace rib {

struct GzipInput::Stream {
  z_stream z{};
  bool ready = false;
};

GzipInput::GzipInput()
    : stream_(std::make_unique<Stream>()), compressed_(new char[kCompressedBytes]) {}

GzipInput::~GzipInput() {
  if (stream_->ready) inflateEnd(&stream_->z);
}

void GzipInput::start(const char *bytes, size_t n) {
  z_stream &z = stream_->z;
  if (!stream_->ready) {
    z = z_stream{};
    if (inflateInit2(&z, 15 + 16) != Z_OK) {
      fail("gzip input: out of memory", nullptr);
      return;
    }
    stream_->ready = true;
  } else {
    inflateReset(&z);
  }
  std::memcpy(compressed_.get(), bytes, n);
  z.next_in = reinterpret_cast<Bytef *>(compressed_.get());
  z.avail_in = static_cast<uInt>(n);
  sourceEnded_ = memberEnded_ = done_ = afterMember_ = trailing_ = false;
  problem_ = nullptr;
}

void GzipInput::fail(const char *problem, const char *detail) {
  problem_ = problem;
  done_ = true;
  trailing_ = afterMember_; // nothing of a next member was read: what came before is whole
  if (detail)
    std::snprintf(message_, sizeof message_, "%s (%s)", problem, detail);
  else
    std::snprintf(message_, sizeof message_, "%s", problem);
}

size_t GzipInput::read(char *into, size_t most,
                       const std::function<size_t(char *, size_t)> &source) {
  z_stream &z = stream_->z;
  size_t produced = 0;
  while (!done_ && produced < most) {
    if (z.avail_in == 0 && !sourceEnded_) {
      const size_t n = source(compressed_.get(), kCompressedBytes);
      sourceEnded_ = n == 0;
      z.next_in = reinterpret_cast<Bytef *>(compressed_.get());
      z.avail_in = static_cast<uInt>(n);
    }
    if (memberEnded_) {
      // Another member may follow; the end of the input after a whole member ends the stream.
      if (!have(1, source)) {
        done_ = true;
        break;
      }
      if (!have(2, source) || !recognises(reinterpret_cast<const char *>(z.next_in), 2)) {
        endAfterMembers(source);
        break;
      }
      inflateReset(&z);
      memberEnded_ = false;
      afterMember_ = true;
    }
    const size_t room = most - produced < (1u << 30) ? most - produced : (1u << 30);
    z.next_out = reinterpret_cast<Bytef *>(into + produced);
    z.avail_out = static_cast<uInt>(room);
    const int status = inflate(&z, Z_NO_FLUSH);
    produced += room - z.avail_out;
    if (room != z.avail_out) afterMember_ = false;
    if (status == Z_STREAM_END) {
      memberEnded_ = true;
    } else if (status == Z_DATA_ERROR || status == Z_NEED_DICT) {
      fail("gzip input is corrupt", z.msg);
    } else if (status == Z_MEM_ERROR) {
      fail("gzip input: out of memory", nullptr);
    }
    // inflate may still hold output after its input is used up, so the input is truncated only
    // when the source has ended and inflate can make no more progress; judging it any earlier
    // would lose that output and make the report depend on how much was asked for at a time.
    else if (status == Z_BUF_ERROR && z.avail_in == 0 && sourceEnded_) {
      fail("gzip input is truncated", nullptr);
    }
  }
  return produced;
}

bool GzipInput::have(size_t n, const std::function<size_t(char *, size_t)> &source) {
  z_stream &z = stream_->z;
  while (z.avail_in < n && !sourceEnded_) {
    std::memmove(compressed_.get(), z.next_in, z.avail_in);
    const size_t got = source(compressed_.get() + z.avail_in, kCompressedBytes - z.avail_in);
    sourceEnded_ = got == 0;
    z.next_in = reinterpret_cast<Bytef *>(compressed_.get());
    z.avail_in += static_cast<uInt>(got);
  }
  return z.avail_in >= n;
}

void GzipInput::endAfterMembers(const std::function<size_t(char *, size_t)> &source) {
  z_stream &z = stream_->z;
  afterMember_ = true;
  for (;;) {
    const Bytef *p = z.next_in, *const end = p + z.avail_in;
    while (p < end && *p == 0) ++p;
    const bool other = p < end;
    z.next_in += z.avail_in;
    z.avail_in = 0;
    if (other) {
      fail("gzip input has bytes after its last member that are not gzip", nullptr);
      return;
    }
    if (!have(1, source)) break;
  }
  done_ = true;
}

} // namespace rib
