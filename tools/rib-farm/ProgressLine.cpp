#include "tools/rib-farm/ProgressLine.h"

#include <unistd.h>

#include <cstdio>

namespace farm {

ProgressLine::ProgressLine() : terminal_(isatty(STDERR_FILENO) == 1) {}

void ProgressLine::show(std::size_t done, std::size_t all, const std::string &note) {
  if (!terminal_) return;
  std::string line = "rib-farm: " + std::to_string(done) + " of " + std::to_string(all) + " frames";
  if (!note.empty()) line += " (" + note + ")";
  if (shown_ && line == last_) return;
  // Spaces cover what a longer line before left.
  const std::size_t cover = last_.size() > line.size() ? last_.size() - line.size() : 0;
  std::fprintf(stderr, "\r%s%s", line.c_str(), std::string(cover, ' ').c_str());
  std::fflush(stderr);
  shown_ = true;
  last_ = line;
}

void ProgressLine::end() {
  if (shown_) std::fputc('\n', stderr);
  shown_ = false;
  last_.clear();
}

} // namespace farm
