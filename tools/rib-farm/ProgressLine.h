// "rib-farm: 5 of 12 frames" on standard error, rewritten in place, only when standard error is
// a terminal: a log file gets the problems alone.
#pragma once

#include <cstddef>
#include <string>

namespace farm {

class ProgressLine {
public:
  ProgressLine();

  // Shows `done` of `all` frames, followed by `note` (e.g. the Slurm job) when not empty.
  void show(std::size_t done, std::size_t all, const std::string &note = "");

  // Ends the line, if one shows, so that messages start on a line of their own.
  void end();

private:
  bool terminal_ = false;
  bool shown_ = false;
  std::string last_;
};

} // namespace farm
