#include "CatOutput.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

namespace ribtools {
namespace {

// The temporary file of the run, removed when a signal ends it (only async-signal-safe calls).
char gTemporary[4096];

void removeTemporaryAndDie(int signal) {
  if (gTemporary[0] != '\0') unlink(gTemporary);
  std::signal(signal, SIG_DFL);
  raise(signal);
}

void removeTemporaryOnSignals(const std::string &temporary) {
  if (temporary.size() >= sizeof gTemporary) return;
  std::memcpy(gTemporary, temporary.c_str(), temporary.size() + 1);
  for (int signal : {SIGINT, SIGTERM, SIGHUP})
    if (std::signal(signal, removeTemporaryAndDie) == SIG_IGN) std::signal(signal, SIG_IGN);
  // A file size limit is a failed write like a full disk: said in one line, not a signal.
  std::signal(SIGXFSZ, SIG_IGN);
}

bool fileIdentity(const std::string &path, int fd, struct stat &info) {
  return path.empty() || path == "-" ? fstat(fd, &info) == 0 : stat(path.c_str(), &info) == 0;
}

std::string folderOf(const std::string &path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string cannotCreate(const std::string &path) {
  return "cannot create '" + path + "': " + std::strerror(errno);
}

} // namespace

CatOutput::~CatOutput() { discard(); }

std::string CatOutput::open(const std::string &path) {
  path_ = path;
  if (path.empty()) {
    stream_ = stdout;
    return "";
  }
  struct stat info;
  const bool exists = lstat(path.c_str(), &info) == 0;
  if (exists && !S_ISREG(info.st_mode)) {
    stream_ = std::fopen(path.c_str(), "wb");
    return stream_ ? "" : cannotCreate(path);
  }
  if (!exists && errno != ENOENT) return cannotCreate(path);
  // A new file gets the mode a plain creation would give it; a regular file keeps its own.
  const mode_t umaskNow = umask(0);
  umask(umaskNow);
  const mode_t mode = exists ? (info.st_mode & 07777) : (0666 & ~umaskNow);
  std::string temporary = folderOf(path) + "/.rib-cat-XXXXXX";
  const int fd = mkstemp(&temporary[0]);
  if (fd < 0) return cannotCreate(path);
  temporary_ = temporary;
  removeTemporaryOnSignals(temporary_);
  fchmod(fd, mode);
  stream_ = fdopen(fd, "wb");
  if (!stream_) {
    const std::string why = cannotCreate(path);
    close(fd);
    discard();
    return why;
  }
  return "";
}

std::string CatOutput::commit() {
  if (temporary_.empty()) return "";
  if (std::rename(temporary_.c_str(), path_.c_str()) != 0) {
    const std::string why = std::strerror(errno);
    discard();
    return why;
  }
  temporary_.clear();
  gTemporary[0] = '\0';
  return "";
}

void CatOutput::discard() {
  if (temporary_.empty()) return;
  unlink(temporary_.c_str());
  temporary_.clear();
  gTemporary[0] = '\0';
}

const std::string *inputThatIsOutput(const std::string &output,
                                     const std::vector<std::string> &inputs) {
  struct stat out;
  if (!fileIdentity(output, STDOUT_FILENO, out) || !S_ISREG(out.st_mode)) return nullptr;
  for (const std::string &input : inputs) {
    struct stat in;
    if (fileIdentity(input, STDIN_FILENO, in) && in.st_dev == out.st_dev && in.st_ino == out.st_ino)
      return &input;
  }
  return nullptr;
}

} // namespace ribtools
