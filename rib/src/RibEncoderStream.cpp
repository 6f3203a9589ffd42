// The encoder's stream: the bytes of each request handed to the file, standard output or pipe;
// the flush at WorldEnd and the close at the end of the context. The first failure of any of them
// is reported in one line naming the target and the system's reason, and from then on the stream
// gets nothing more. A library must not end its host: writing into a pipe whose reader has gone
// (a command's pipe, standard output into "| head", a FIFO) would raise SIGPIPE, which is held back
// for the write and taken away again, so the host's own signal handling is never changed. A
// compressed stream goes through its GzipOutput on the way.
#include <stdio_ext.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>

#include <pthread.h>

#include "Diagnostics.h"
#if RIB_GZIP
#include "GzipOutput.h"
#endif
#include "RibEncoder.h"

namespace rib {
namespace {

// Blocks SIGPIPE in this thread while it lives; a SIGPIPE raised meanwhile (by a write of this
// thread into a pipe without a reader) is consumed before the previous mask returns, unless one
// was already pending before. Does nothing for streams that are not pipes.
class SigpipeHeldBack {
public:
  explicit SigpipeHeldBack(bool active) : active_(active) {
    if (!active_) return;
    sigemptyset(&sigpipe_);
    sigaddset(&sigpipe_, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &sigpipe_, &previous_);
    wasPending_ = isPending();
  }
  ~SigpipeHeldBack() {
    if (!active_) return;
    const int savedErrno = errno;
    if (!wasPending_ && isPending()) {
      const timespec now = {0, 0};
      sigtimedwait(&sigpipe_, nullptr, &now);
    }
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
    errno = savedErrno;
  }
  SigpipeHeldBack(const SigpipeHeldBack &) = delete;
  SigpipeHeldBack &operator=(const SigpipeHeldBack &) = delete;

private:
  bool isPending() const {
    sigset_t pending;
    return sigpending(&pending) == 0 && sigismember(&pending, SIGPIPE) == 1;
  }

  bool active_;
  bool wasPending_ = false;
  sigset_t sigpipe_;
  sigset_t previous_;
};

} // namespace

RibEncoder::RibEncoder() = default;
RibEncoder::~RibEncoder() = default;

void RibEncoder::attach(FILE *stream, const char *target, bool pipe) {
  stream_ = stream;
  target_ = target;
  pipe_ = pipe;
  failed_ = false;
  failure_ = StreamFailure{};
  struct stat info;
  regularFile_ = stream && !pipe && fstat(fileno(stream), &info) == 0 && S_ISREG(info.st_mode) &&
                 ftello(stream) >= 0;
  // Only a regular file can never raise SIGPIPE.
  holdSigpipe_ = stream && !regularFile_;
}

#if RIB_GZIP
void RibEncoder::compress(int level) { gzip_ = std::make_unique<GzipOutput>(level); }
#else
// Without a compressor the RIB still gets written, uncompressed, and the caller is told so.
void RibEncoder::compress(int) {
  reportError(RIE_UNIMPLEMENT, "gzip compression is not part of this build of the library; "
                               "the RIB is written uncompressed");
}
#endif

long long RibEncoder::streamPosition() { return ftello(stream_); }

void RibEncoder::cutStreamAt(long long position) {
  if (!stream_ || failed_) return;
  if (std::fflush(stream_) != 0 || ftruncate(fileno(stream_), position) != 0 ||
      fseeko(stream_, position, SEEK_SET) != 0)
    streamFailed(errno);
}

void RibEncoder::writeOut(const char *bytes, size_t length) {
  if (length == 0 || !stream_ || failed_) return;
  SigpipeHeldBack held(holdSigpipe_);
#if RIB_GZIP
  if (gzip_) {
    if (const int error = gzip_->add(bytes, length, stream_)) streamFailed(error);
    return;
  }
#endif
  if (std::fwrite(bytes, 1, length, stream_) != length) streamFailed(errno);
}

void RibEncoder::flushStream() {
  if (!stream_ || failed_) return;
  SigpipeHeldBack held(holdSigpipe_);
#if RIB_GZIP
  if (const int error = gzip_ ? gzip_->flush(stream_) : 0) {
    streamFailed(error);
    return;
  }
#endif
  if (std::fflush(stream_) != 0) streamFailed(errno);
}

void RibEncoder::close() {
  FILE *stream = stream_;
  if (!stream) return;
#if RIB_GZIP
  if (gzip_ && !failed_) {
    SigpipeHeldBack held(holdSigpipe_);
    if (const int error = gzip_->finish(stream)) streamFailed(error);
  }
  gzip_.reset();
#endif
  stream_ = nullptr;
  if (stream == stdout) {
    // Standard output stays open; what the context wrote must still reach it.
    SigpipeHeldBack held(holdSigpipe_);
    if (!failed_ && std::fflush(stream) != 0) streamFailed(errno);
    if (failed_) __fpurge(stream);
    return;
  }
  if (!pipe_) {
    // fclose flushes first; a failure of either is the stream's.
    SigpipeHeldBack held(holdSigpipe_);
    if (std::fclose(stream) != 0 && !failed_) streamFailed(errno);
    return;
  }
  int status;
  {
    SigpipeHeldBack held(true);
    if (!failed_ && std::fflush(stream) != 0) streamFailed(errno);
    status = pclose(stream); // waits for the command
  }
  if (status == -1)
    failure_.error = errno;
  else if (WIFEXITED(status))
    failure_.commandStatus = WEXITSTATUS(status);
  else if (WIFSIGNALED(status))
    failure_.commandSignal = WTERMSIG(status);
  if (status == -1)
    reportError(RIE_SYSTEM, "cannot wait for the RIB command \"%s\": %s", target_,
                std::strerror(errno));
  else if (WIFEXITED(status) && WEXITSTATUS(status) != 0)
    reportError(RIE_SYSTEM, "the RIB command \"%s\" ended with status %d", target_,
                WEXITSTATUS(status));
  else if (WIFSIGNALED(status))
    reportError(RIE_SYSTEM, "the RIB command \"%s\" was ended by signal %d (%s)", target_,
                WTERMSIG(status), strsignal(WTERMSIG(status)));
}

void RibEncoder::streamFailed(int error) {
  if (failed_) return;
  failed_ = true;
  if (error == 0) error = EIO; // a stream already in error says no more
  failure_.error = error;
  // What the stream still buffers is dropped, so that the process's exit does not try it again
  // (standard output outlives the context) and raise SIGPIPE then.
  if (stream_) __fpurge(stream_);
  const RtInt code = error == ENOSPC ? RIE_DISKFULL : RIE_SYSTEM;
  if (!target_)
    reportError(code, "cannot write the RIB to standard output: %s", std::strerror(error));
  else
    reportError(code, "cannot write the RIB to %s\"%s\": %s", pipe_ ? "the command " : "", target_,
                std::strerror(error));
}

} // namespace rib
