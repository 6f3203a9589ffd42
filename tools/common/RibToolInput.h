// RibToolInput.h - what rib-check and rib-cat share: their inputs (a file name, or "-" for
// standard input), reading each through a request dispatch, and the problem lines
// "FILE:LINE: message" with which both report what is wrong in an input.
//
//     ribtools::StderrCapture capture;
//     ribtools::ProblemPrinter problems(1, capture.realFd(), "rib-check");   // lines on stdout
//     rib::RibDispatch dispatch(context, problems);
//     std::string error;
//     if (!ribtools::readInput("scene.rib", dispatch, problems, capture, error)) ...
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "RibDispatch.h"
#include "tools/common/StderrCapture.h"

namespace ribtools {

/// Why `path` cannot be read, or empty when it can ("-", standard input, always can).
std::string unreadable(const std::string &path);

/// Writes each problem as one line "NAME:LINE: message" on a descriptor, and shows how far a long
/// input has been read on the terminal, when standard error is one.
class ProblemPrinter : public rib::RibProblemSink {
public:
  /// Problems go to `fd`; progress to `progressFd` (when it is a terminal) as "tool: NAME 42%".
  ProblemPrinter(int fd, int progressFd, const char *tool);

  /// The input the next problems belong to, and its size in bytes (0: not known).
  void startInput(const std::string &name, uint64_t size);
  /// Shows the offset reached, a few times a second at most.
  void progress(uint64_t offset);
  /// Takes the progress line off the terminal.
  void endProgress();

  /// Notes are shown as "NAME:LINE: note: message" once asked for (rib-check), and counted as
  /// problems when strict; otherwise they are left out.
  void showNotes(bool strict) {
    notes_ = true;
    strict_ = strict;
  }

  void problem(rib::RibPosition where, std::string_view message) override;
  void note(rib::RibPosition where, std::string_view message) override;
  uint64_t count() const { return count_; }

private:
  int fd_;
  int progressFd_;
  bool terminal_;
  const char *tool_;
  std::string name_;
  uint64_t size_ = 0;
  uint64_t count_ = 0;
  uint64_t calls_ = 0;
  int64_t lastShown_ = 0;
  bool shown_ = false;
  bool notes_ = false;
  bool strict_ = false;

  void writeLine(rib::RibPosition where, std::string_view kind, std::string_view message);
};

/// Reads the input at `path` through `dispatch` and ends it there (blocks left open are
/// problems). What the library says on standard error meanwhile becomes a problem of the request
/// that made it say so. False, with `error` saying why, when the input cannot be opened.
bool readInput(const std::string &path, rib::RibDispatch &dispatch, ProblemPrinter &problems,
               StderrCapture &capture, std::string &error);

} // namespace ribtools
