// ProblemPrinter.h - what rib-check and rib-cat share: their inputs (a file name, or "-" for
// standard input) and where the problems of reading them go. While a printer lives it receives
// the library's diagnostics: each problem line "FILE:LINE: message" goes to the printer's
// descriptor, the line saying that an input cannot be read is kept for the tool's own message,
// and anything else goes to standard error as the library writes it. A long input shows how far
// it has been read on the terminal, when standard error is one.
//
//     ribtools::ProblemPrinter problems(STDOUT_FILENO, "rib-check");   // problem lines on stdout
//     rib::RibReadSession session(context);
//     problems.follow(session);
//     problems.startInput(path);
//     const int found = session.read(path.c_str());                    // -1: unreadable()
#pragma once

#include <cstdint>
#include <string>

#include "Diagnostics.h"
#include "rib/RibRead.h"

namespace ribtools {

/// Why `path` cannot be read, or empty when it can ("-", standard input, always can).
std::string unreadable(const std::string &path);

class ProblemPrinter {
public:
  /// Problems go to `fd`; progress to standard error (when it is a terminal) as "tool: NAME 42%".
  ProblemPrinter(int fd, const char *tool);
  /// Gives the library's diagnostics back to the sink they had before.
  ~ProblemPrinter();
  ProblemPrinter(const ProblemPrinter &) = delete;
  ProblemPrinter &operator=(const ProblemPrinter &) = delete;

  /// Shows the progress of the session's inputs.
  void follow(rib::RibReadSession &session);
  /// The input the next problems belong to; its size (for a percentage) is taken from the system.
  void startInput(const std::string &name);
  /// Takes the progress line off the terminal.
  void endProgress();
  /// Writes the notes of what is accepted beyond the standard's RIB ("FILE:LINE: note: ...") to
  /// the printer's descriptor too; without it they are left out.
  void showNotes() { showNotes_ = true; }
  /// Notes received so far, shown or not.
  uint64_t noteCount() const { return notes_; }
  /// The last input that could not be read: "cannot read 'NAME': reason".
  const std::string &unreadableMessage() const { return unreadable_; }
  /// The errno of the first problem line that could not be written; 0 when all were.
  int writeError() const { return writeError_; }

private:
  static void receive(void *user, rib::DiagnosticKind kind, const char *text, size_t length);
  static void progress(void *user, uint64_t offset);

  int fd_;
  bool terminal_;
  const char *tool_;
  rib::DiagnosticTarget previous_;
  std::string unreadable_;
  std::string name_;
  uint64_t size_ = 0;
  uint64_t calls_ = 0;
  int64_t lastShown_ = 0;
  bool shown_ = false;
  bool showNotes_ = false;
  uint64_t notes_ = 0;
  int writeError_ = 0;
};

} // namespace ribtools
