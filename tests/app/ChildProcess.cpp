#include "ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

// Runs in the forked child only: async-signal-safe calls, then exec.
[[noreturn]] void execChild(const ChildProcess::Options &options, pid_t parent,
                            const std::vector<char *> &argv, const std::vector<char *> &envp,
                            int outFd, int errFd) {
  // Die with the test process, even when it is killed outright.
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() != parent) _exit(127);
  if (!options.workingDirectory.empty() && chdir(options.workingDirectory.c_str()) != 0) _exit(127);
  dup2(outFd, STDOUT_FILENO);
  dup2(errFd, STDERR_FILENO);
  const int nullIn = open("/dev/null", O_RDONLY);
  if (nullIn >= 0) dup2(nullIn, STDIN_FILENO);
  execve(argv[0], argv.data(), envp.data());
  _exit(127);
}

int openOutput(const std::string &path) {
  const char *target = path.empty() ? "/dev/null" : path.c_str();
  return open(target, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
}

} // namespace

bool ChildProcess::start(const Options &options, std::string &error) {
  if (options.argv.empty()) {
    error = "no program given";
    return false;
  }
  const int outFd = openOutput(options.stdoutPath);
  const int errFd = openOutput(options.stderrPath);
  if (outFd < 0 || errFd < 0) {
    error = "cannot open the output files";
    if (outFd >= 0) close(outFd);
    if (errFd >= 0) close(errFd);
    return false;
  }
  // Everything the child needs is prepared before fork: only exec-safe work happens after it.
  std::vector<std::string> environment;
  for (char **entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    bool replaced = false;
    for (const auto &[name, value] : options.env)
      replaced = replaced || text.compare(0, name.size() + 1, name + "=") == 0;
    if (!replaced) environment.push_back(text);
  }
  for (const auto &[name, value] : options.env) environment.push_back(name + "=" + value);
  std::vector<char *> envp;
  for (std::string &entry : environment) envp.push_back(entry.data());
  envp.push_back(nullptr);
  std::vector<char *> argv;
  for (const std::string &arg : options.argv) argv.push_back(const_cast<char *>(arg.c_str()));
  argv.push_back(nullptr);

  const pid_t parent = getpid();
  pid_ = fork();
  if (pid_ == 0) execChild(options, parent, argv, envp, outFd, errFd);
  const int forkErrno = errno;
  close(outFd);
  close(errFd);
  if (pid_ < 0) {
    error = std::string("fork failed: ") + std::strerror(forkErrno);
    return false;
  }
  return true;
}

bool ChildProcess::waitFor(std::chrono::milliseconds timeout) {
  if (pid_ <= 0) return true;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    const pid_t done = waitpid(pid_, &status_, WNOHANG);
    if (done == pid_ || (done < 0 && errno != EINTR)) {
      pid_ = -1;
      return true;
    }
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

bool ChildProcess::running() { return !waitFor(std::chrono::milliseconds(0)); }

void ChildProcess::kill() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  if (waitFor(std::chrono::milliseconds(2000))) return;
  ::kill(pid_, SIGKILL);
  waitpid(pid_, &status_, 0);
  pid_ = -1;
}

std::string findInPath(const std::string &name) {
  const char *path = std::getenv("PATH");
  std::stringstream folders(path != nullptr ? path : "/usr/bin:/bin");
  std::string folder;
  while (std::getline(folders, folder, ':')) {
    const std::string candidate = (folder.empty() ? "." : folder) + "/" + name;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return "";
}

TempFolder::TempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "wobble-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
}

TempFolder::~TempFolder() {
  if (!path_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
}

std::string readFile(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}
