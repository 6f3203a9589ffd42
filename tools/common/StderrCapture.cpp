#include "tools/common/StderrCapture.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>

namespace ribtools {

StderrCapture::StderrCapture() {
  std::fflush(stderr);
  // A file in memory: emptied after every request, it never touches a disk.
  const int scratch = memfd_create("rib-diagnostics", MFD_CLOEXEC);
  const int real = scratch >= 0 ? dup(2) : -1;
  if (real < 0 || dup2(scratch, 2) < 0) {
    if (real >= 0) close(real);
    if (scratch >= 0) close(scratch);
    return;
  }
  real_ = real;
  scratch_ = scratch;
}

StderrCapture::~StderrCapture() {
  if (real_ == 2) return;
  std::fflush(stderr);
  if (scratch_ >= 0) {
    dup2(real_, 2);
    close(scratch_);
  }
  close(real_);
}

std::string StderrCapture::take() {
  if (scratch_ < 0) return std::string();
  std::fflush(stderr);
  // Standard error shares the scratch file's offset: it tells how much was written.
  const off_t written = lseek(scratch_, 0, SEEK_CUR);
  if (written <= 0) return std::string();
  constexpr off_t kLargest = 1 << 16;
  std::string text(static_cast<size_t>(written < kLargest ? written : kLargest), '\0');
  const ssize_t got = pread(scratch_, &text[0], text.size(), 0);
  text.resize(got > 0 ? static_cast<size_t>(got) : 0);
  if (ftruncate(scratch_, 0) != 0 || lseek(scratch_, 0, SEEK_SET) != 0) {
    // A scratch file that cannot be emptied would repeat itself: stop capturing.
    dup2(real_, 2);
    close(scratch_);
    scratch_ = -1;
  }
  return text;
}

} // namespace ribtools
