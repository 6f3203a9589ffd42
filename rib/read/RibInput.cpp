#include "RibInput.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "GzipInput.h"

namespace rib {

namespace {

// A pipe, socket or terminal whose stdio buffer holds nothing yet: its bytes can be taken as they
// come with read(2). fread would wait for a whole chunk, holding back the requests that have
// arrived (a previewer shows each picture as its WorldEnd comes down the pipe).
bool arrivesInPieces(FILE *file) {
  struct stat info;
  if (fstat(fileno(file), &info) != 0) return false;
  if (!S_ISFIFO(info.st_mode) && !S_ISSOCK(info.st_mode) && !S_ISCHR(info.st_mode)) return false;
#if defined(__GLIBC__)
  return file->_IO_read_ptr >= file->_IO_read_end;
#else
  return false;
#endif
}

} // namespace

void RibInput::fromFile(FILE *file, size_t chunkBytes) {
  start(Source::File, chunkBytes);
  file_ = file;
  if (!file) {
    exhausted_ = true;
    error_ = EBADF;
    return;
  }
  direct_ = arrivesInPieces(file);
}

void RibInput::fromMemory(const void *data, size_t size, size_t chunkBytes) {
  start(Source::Memory, chunkBytes);
  memory_ = static_cast<const char *>(data);
  memoryLeft_ = data ? size : 0;
}

void RibInput::start(Source source, size_t chunkBytes) {
  source_ = source;
  chunk_ = chunkBytes > 0 ? chunkBytes : 1;
  if (capacity_ < chunk_) allocate(chunk_);
  end_ = data_.get();
  *end_ = 0;
  base_ = 0;
  exhausted_ = false;
  error_ = 0;
  recognised_ = false;
  compressed_ = false;
  file_ = nullptr;
  direct_ = false;
  memory_ = nullptr;
  memoryLeft_ = 0;
}

void RibInput::allocate(size_t capacity) {
  data_.reset(new char[capacity + 1 + kPadding]()); // zeroed: every byte is defined
  capacity_ = capacity;
}

RibInput::RibInput() = default;
RibInput::~RibInput() = default;

#if RIB_GZIP
const char *RibInput::problem() const { return compressed_ ? gzip_->problem() : nullptr; }
bool RibInput::problemAfterData() const { return compressed_ && gzip_->trailingProblem(); }

size_t RibInput::readSome(char *into, size_t most) {
  if (!recognised_) return recognise(into, most);
  if (!compressed_) return readSource(into, most);
  return gzip_->read(into, most, [this](char *to, size_t n) { return readSource(to, n); });
}
#else
// A build without zlib (the web page's, which inflates in the browser before the reader sees the
// bytes) says so for gzip input and reads none of it.
const char *RibInput::problem() const {
  return compressed_ ? "gzip input cannot be read by this build of the library" : nullptr;
}

bool RibInput::problemAfterData() const { return false; }

size_t RibInput::readSome(char *into, size_t most) {
  if (!recognised_) return recognise(into, most);
  return compressed_ ? 0 : readSource(into, most);
}
#endif

// The first bytes decide: gzip's magic number, or RIB as it is.
size_t RibInput::recognise(char *into, size_t most) {
  recognised_ = true;
  const size_t want = most < GzipInput::kCompressedBytes ? most : GzipInput::kCompressedBytes;
  size_t n = 0;
  while (n < 2 && n < want) {
    const size_t got = readSource(into + n, want - n);
    if (got == 0) break;
    n += got;
  }
  if (!GzipInput::recognises(into, n)) return n;
  compressed_ = true;
#if RIB_GZIP
  if (!gzip_) gzip_ = std::make_unique<GzipInput>();
  gzip_->start(into, n);
#endif
  return readSome(into, most);
}

size_t RibInput::readSource(char *into, size_t most) {
  switch (source_) {
  case Source::File: {
    if (direct_) {
      ssize_t n;
      do n = ::read(fileno(file_), into, most);
      while (n < 0 && errno == EINTR);
      if (n < 0) error_ = errno;
      return n > 0 ? static_cast<size_t>(n) : 0;
    }
    size_t n = std::fread(into, 1, most, file_);
    if (n == 0 && std::ferror(file_)) error_ = errno != 0 ? errno : EIO;
    return n;
  }
  case Source::Memory: {
    size_t n = most < memoryLeft_ ? most : memoryLeft_;
    std::memcpy(into, memory_, n);
    memory_ += n;
    memoryLeft_ -= n;
    return n;
  }
  }
  return 0;
}

char *RibInput::refill(const char *keep, size_t &added) {
  added = 0;
  char *base = data_.get();
  const size_t kept = static_cast<size_t>(end_ - keep);
  base_ += static_cast<uint64_t>(keep - base);
  if (exhausted_) {
    std::memmove(base, keep, kept);
    end_ = base + kept;
    *end_ = 0;
    return base;
  }
  if (capacity_ - kept < chunk_) {
    // Only a token that spans several chunks gets here; the token limit bounds it.
    std::unique_ptr<char[]> old = std::move(data_);
    allocate(capacity_ * 2 > kept + chunk_ ? capacity_ * 2 : kept + chunk_);
    std::memcpy(data_.get(), keep, kept);
    base = data_.get();
  } else {
    std::memmove(base, keep, kept);
  }
  added = readSome(base + kept, chunk_);
  if (added == 0) exhausted_ = true;
  end_ = base + kept + added;
  *end_ = 0;
  return base;
}

} // namespace rib
