#include "tools/common/ProblemPrinter.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace ribtools {
namespace {

int64_t nowMilliseconds() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// 0, or the errno of the write that failed.
int writeAll(int fd, const char *text, size_t length) {
  size_t done = 0;
  while (done < length) {
    const ssize_t n = write(fd, text + done, length - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return EIO;
    done += static_cast<size_t>(n);
  }
  return 0;
}

} // namespace

std::string unreadable(const std::string &path) {
  if (path == "-") return std::string();
  struct stat info;
  if (stat(path.c_str(), &info) != 0 || access(path.c_str(), R_OK) != 0)
    return "cannot read '" + path + "': " + std::strerror(errno);
  if (S_ISDIR(info.st_mode)) return "cannot read '" + path + "': it is a folder";
  return std::string();
}

ProblemPrinter::ProblemPrinter(int fd, const char *tool)
    : fd_(fd), terminal_(isatty(STDERR_FILENO) == 1), tool_(tool),
      previous_(rib::setDiagnosticSink(receive, this)) {}

ProblemPrinter::~ProblemPrinter() { rib::setDiagnosticSink(previous_.sink, previous_.user); }

void ProblemPrinter::receive(void *user, rib::DiagnosticKind kind, const char *text,
                             size_t length) {
  ProblemPrinter &printer = *static_cast<ProblemPrinter *>(user);
  switch (kind) {
  case rib::DiagnosticKind::Problem:
    printer.endProgress();
    if (const int error = writeAll(printer.fd_, text, length); error != 0 && !printer.writeError_)
      printer.writeError_ = error;
    break;
  case rib::DiagnosticKind::Note:
    ++printer.notes_;
    if (!printer.showNotes_) break;
    printer.endProgress();
    // Notes shown are part of the list: one that does not reach its reader fails as a problem.
    if (const int error = writeAll(printer.fd_, text, length); error != 0 && !printer.writeError_)
      printer.writeError_ = error;
    break;
  case rib::DiagnosticKind::Unreadable:
    printer.unreadable_.assign(text, length);
    if (!printer.unreadable_.empty() && printer.unreadable_.back() == '\n')
      printer.unreadable_.pop_back();
    break;
  case rib::DiagnosticKind::Library:
    printer.previous_.sink(printer.previous_.user, kind, text, length);
    break;
  }
}

void ProblemPrinter::follow(rib::RibReadSession &session) { session.setProgress(progress, this); }

void ProblemPrinter::startInput(const std::string &name) {
  name_ = name;
  struct stat info;
  const int status = name == "-" ? fstat(STDIN_FILENO, &info) : stat(name.c_str(), &info);
  size_ = status == 0 && S_ISREG(info.st_mode) ? static_cast<uint64_t>(info.st_size) : 0;
  lastShown_ = nowMilliseconds();
}

void ProblemPrinter::progress(void *user, uint64_t offset) {
  ProblemPrinter &printer = *static_cast<ProblemPrinter *>(user);
  // The clock is asked every few thousand requests only; small inputs never show a line.
  if (!printer.terminal_ || ++printer.calls_ % 4096 != 0) return;
  const int64_t now = nowMilliseconds();
  if (now - printer.lastShown_ < 250) return;
  printer.lastShown_ = now;
  char amount[64];
  if (printer.size_ > 0)
    std::snprintf(amount, sizeof amount, " %d%%", static_cast<int>(100.0 * offset / printer.size_));
  else
    std::snprintf(amount, sizeof amount, " %llu MB", static_cast<unsigned long long>(offset >> 20));
  const std::string line = std::string("\r\033[K") + printer.tool_ + ": " + printer.name_ + amount;
  writeAll(STDERR_FILENO, line.data(), line.size());
  printer.shown_ = true;
}

void ProblemPrinter::endProgress() {
  if (shown_) writeAll(STDERR_FILENO, "\r\033[K", 4);
  shown_ = false;
}

} // namespace ribtools
