// StderrCapture.h - what the RIB library says on standard error while a tool reads RIB, collected
// instead of shown, so that the tool can report it as a problem of the request that caused it.
//
//     StderrCapture capture;                 // standard error now goes to a scratch file
//     dispatch.request(request);
//     std::string said = capture.take();     // "zizurezar error: ...\n", or empty
//     dprintf(capture.realFd(), "...");      // the tool's own messages still reach the user
#pragma once

#include <string>

namespace ribtools {

class StderrCapture {
public:
  /// Points standard error at a scratch file; when none can be made, nothing is captured.
  StderrCapture();
  /// Points standard error back where it was.
  ~StderrCapture();
  StderrCapture(const StderrCapture &) = delete;
  StderrCapture &operator=(const StderrCapture &) = delete;

  /// The standard error the tool was started with.
  int realFd() const { return real_; }
  /// What was written to standard error since the last call (at most 64 KB of it).
  std::string take();

private:
  int real_ = 2;
  int scratch_ = -1;
};

} // namespace ribtools
