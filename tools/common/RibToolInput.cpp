#include "tools/common/RibToolInput.h"

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

void writeAll(int fd, const std::string &text) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    done += static_cast<size_t>(n);
  }
}

// The reader's events, passed on to the dispatch; after each request, what the library said on
// standard error is reported at that request.
class CapturingHandler : public rib::RibHandler {
public:
  CapturingHandler(rib::RibDispatch &dispatch, ProblemPrinter &problems, StderrCapture &capture)
      : dispatch_(dispatch), problems_(problems), capture_(capture) {}

  void request(const rib::RibRequest &request) override {
    dispatch_.request(request);
    reportSaid(request.where);
    problems_.progress(request.where.offset);
  }
  void structure(std::string_view text, rib::RibPosition where) override {
    dispatch_.structure(text, where);
    reportSaid(where);
  }
  void error(std::string_view message, rib::RibPosition where) override {
    dispatch_.error(message, where);
  }
  void note(std::string_view message, rib::RibPosition where) override {
    dispatch_.note(message, where);
  }

private:
  void reportSaid(rib::RibPosition where) {
    const std::string said = capture_.take();
    static constexpr std::string_view kPrefix = "zizurezar error: ";
    for (size_t at = 0; at < said.size();) {
      size_t end = said.find('\n', at);
      if (end == std::string::npos) end = said.size();
      std::string_view line(said.data() + at, end - at);
      if (line.compare(0, kPrefix.size(), kPrefix) == 0) line.remove_prefix(kPrefix.size());
      if (!line.empty()) problems_.problem(where, line);
      at = end + 1;
    }
  }

  rib::RibDispatch &dispatch_;
  ProblemPrinter &problems_;
  StderrCapture &capture_;
};

} // namespace

std::string unreadable(const std::string &path) {
  if (path == "-") return std::string();
  struct stat info;
  if (stat(path.c_str(), &info) != 0 || access(path.c_str(), R_OK) != 0)
    return "cannot read '" + path + "': " + std::strerror(errno);
  if (S_ISDIR(info.st_mode)) return "cannot read '" + path + "': it is a folder";
  return std::string();
}

ProblemPrinter::ProblemPrinter(int fd, int progressFd, const char *tool)
    : fd_(fd), progressFd_(progressFd), terminal_(isatty(progressFd) == 1), tool_(tool) {}

void ProblemPrinter::startInput(const std::string &name, uint64_t size) {
  name_ = name;
  size_ = size;
  lastShown_ = nowMilliseconds();
}

void ProblemPrinter::progress(uint64_t offset) {
  // The clock is asked every few thousand requests only; small inputs never show a line.
  if (!terminal_ || ++calls_ % 4096 != 0) return;
  const int64_t now = nowMilliseconds();
  if (now - lastShown_ < 250) return;
  lastShown_ = now;
  char line[64];
  if (size_ > 0)
    std::snprintf(line, sizeof line, " %d%%", static_cast<int>(100.0 * offset / size_));
  else
    std::snprintf(line, sizeof line, " %llu MB", static_cast<unsigned long long>(offset >> 20));
  writeAll(progressFd_, std::string("\r\033[K") + tool_ + ": " + name_ + line);
  shown_ = true;
}

void ProblemPrinter::endProgress() {
  if (shown_) writeAll(progressFd_, "\r\033[K");
  shown_ = false;
}

void ProblemPrinter::problem(rib::RibPosition where, std::string_view message) {
  ++count_;
  writeLine(where, "", message);
}

void ProblemPrinter::note(rib::RibPosition where, std::string_view message) {
  if (!notes_) return;
  if (strict_) ++count_;
  writeLine(where, "note: ", message);
}

void ProblemPrinter::writeLine(rib::RibPosition where, std::string_view kind,
                               std::string_view message) {
  endProgress();
  std::string line = name_ + ":" + std::to_string(where.line) + ": ";
  line.append(kind.data(), kind.size());
  line.append(message.data(), message.size());
  for (size_t i = name_.size(); i < line.size(); ++i)
    if (line[i] == '\n' || line[i] == '\r') line[i] = ' ';
  line += '\n';
  writeAll(fd_, line);
}

bool readInput(const std::string &path, rib::RibDispatch &dispatch, ProblemPrinter &problems,
               StderrCapture &capture, std::string &error) {
  FILE *file = path == "-" ? stdin : std::fopen(path.c_str(), "rb");
  if (!file) {
    error = "cannot read '" + path + "': " + std::strerror(errno);
    return false;
  }
  struct stat info;
  const bool regular = fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode);
  problems.startInput(path, regular ? static_cast<uint64_t>(info.st_size) : 0);
  CapturingHandler handler(dispatch, problems, capture);
  rib::RibReader reader(handler);
  reader.readFile(file);
  dispatch.endInput();
  problems.endProgress();
  if (file != stdin) std::fclose(file);
  return true;
}

} // namespace ribtools
