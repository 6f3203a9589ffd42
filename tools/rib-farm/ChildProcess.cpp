#include "tools/rib-farm/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

extern char **environ;

namespace farm {

namespace {

constexpr std::size_t kMostCaptured = 16u << 20;

volatile sig_atomic_t caughtSignal = 0;

void noteSignal(int signal) { caughtSignal = signal; }

std::vector<char *> argvOf(const std::vector<std::string> &argv) {
  std::vector<char *> pointers;
  for (const std::string &arg : argv) pointers.push_back(const_cast<char *>(arg.c_str()));
  pointers.push_back(nullptr);
  return pointers;
}

// Spawns with standard input from /dev/null and, where given, standard output and error on the
// write ends of pipes (whose read ends the child closes).
pid_t spawn(const std::vector<std::string> &argv, const int *outPipe, const int *errPipe,
            bool ownGroup, std::string &problem) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  for (auto [pipeEnds, target] : {std::pair{outPipe, STDOUT_FILENO}, {errPipe, STDERR_FILENO}}) {
    if (pipeEnds == nullptr) continue;
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], target);
  }
  for (const int *pipeEnds : {outPipe, errPipe}) {
    if (pipeEnds == nullptr) continue;
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);
  }
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  if (ownGroup) {
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
  }
  std::vector<char *> args = argvOf(argv);
  pid_t pid = -1;
  const int error = posix_spawnp(&pid, args[0], &actions, &attributes, args.data(), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) {
    problem = "cannot start " + argv[0] + ": " + std::strerror(error);
    return -1;
  }
  return pid;
}

} // namespace

pid_t startProcess(const std::vector<std::string> &argv, std::string &problem, bool ownGroup) {
  return spawn(argv, nullptr, nullptr, ownGroup, problem);
}

int waitForProcess(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0)
    if (errno != EINTR) return -1;
  return status;
}

Captured runCaptured(const std::vector<std::string> &argv) {
  Captured captured;
  int outPipe[2], errPipe[2];
  if (pipe2(outPipe, O_CLOEXEC) != 0) {
    captured.problem = std::string("cannot make a pipe: ") + std::strerror(errno);
    return captured;
  }
  if (pipe2(errPipe, O_CLOEXEC) != 0) {
    captured.problem = std::string("cannot make a pipe: ") + std::strerror(errno);
    close(outPipe[0]);
    close(outPipe[1]);
    return captured;
  }
  const pid_t pid = spawn(argv, outPipe, errPipe, false, captured.problem);
  close(outPipe[1]);
  close(errPipe[1]);
  if (pid >= 0) {
    captured.started = true;
    // Both pipes at once: a child that fills one while we wait on the other would never end.
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    std::string *texts[2] = {&captured.output, &captured.errors};
    int open = 2;
    while (open > 0) {
      if (poll(fds, 2, -1) < 0) {
        if (errno == EINTR) continue;
        break;
      }
      for (int i = 0; i < 2; ++i) {
        if (fds[i].fd < 0 || fds[i].revents == 0) continue;
        char buffer[4096];
        const ssize_t got = read(fds[i].fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
          fds[i].fd = -1;
          --open;
        } else if (texts[i]->size() < kMostCaptured) {
          texts[i]->append(buffer, static_cast<std::size_t>(got));
        }
      }
    }
    captured.status = waitForProcess(pid);
  }
  close(outPipe[0]);
  close(errPipe[0]);
  return captured;
}

std::string describeEnd(int status) {
  if (status == -1) return "no exit status";
  if (WIFSIGNALED(status))
    return "killed by signal " + std::to_string(WTERMSIG(status)) + " (" +
           strsignal(WTERMSIG(status)) + ")";
  return "exit status " + std::to_string(WEXITSTATUS(status));
}

bool succeeded(int status) { return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0; }

std::string findInPath(const std::string &name) {
  const char *path = std::getenv("PATH");
  if (path == nullptr) return "";
  const std::string folders = path;
  for (std::size_t start = 0; start <= folders.size();) {
    std::size_t end = folders.find(':', start);
    if (end == std::string::npos) end = folders.size();
    const std::string folder = end == start ? "." : folders.substr(start, end - start);
    const std::string candidate = folder + "/" + name;
    struct stat info;
    if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
        access(candidate.c_str(), X_OK) == 0)
      return candidate;
    start = end + 1;
  }
  return "";
}

std::string ownFolder() {
  char buffer[PATH_MAX];
  const ssize_t size = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (size <= 0) return "";
  const std::string self(buffer, static_cast<std::size_t>(size));
  return self.substr(0, self.find_last_of('/'));
}

void catchInterruptions() {
  struct sigaction action = {};
  action.sa_handler = noteSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0; // no SA_RESTART: a wait returns, and the waiter looks at the signal
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
}

int interruption() { return caughtSignal; }

void endByInterruption() {
  const int signal = caughtSignal;
  struct sigaction action = {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  sigaction(signal, &action, nullptr);
  raise(signal);
  std::exit(128 + signal);
}

} // namespace farm
