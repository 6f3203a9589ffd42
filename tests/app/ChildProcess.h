// Test helper: a child process started with its own working folder, environment additions and
// output files, waited for with a deadline, and never left behind: it is killed when the
// ChildProcess is destroyed and, through the parent-death signal, when the test process dies.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

class ChildProcess {
public:
  struct Options {
    std::vector<std::string> argv;                        // argv[0] is the program path
    std::vector<std::pair<std::string, std::string>> env; // set in the child's environment
    std::string workingDirectory;                         // empty: keep the current one
    std::string stdoutPath, stderrPath;                   // empty: /dev/null
  };

  ChildProcess() = default;
  ~ChildProcess() { kill(); }
  ChildProcess(const ChildProcess &) = delete;
  ChildProcess &operator=(const ChildProcess &) = delete;

  // Returns false (and an explanation in `error`) when the process could not be started.
  bool start(const Options &options, std::string &error);

  // Waits up to `timeout` for the process to end. True when it ended; its wait status is kept.
  bool waitFor(std::chrono::milliseconds timeout);
  // True while the process has not been seen to end.
  bool running();
  // The wait status after waitFor returned true.
  int status() const { return status_; }
  // Sends SIGTERM, waits briefly, then SIGKILL; always reaps.
  void kill();
  pid_t pid() const { return pid_; }

private:
  pid_t pid_ = -1;
  int status_ = 0;
};

// Finds `name` in the folders of PATH; empty when it is not there.
std::string findInPath(const std::string &name);

// A fresh empty folder under the temporary folder, removed with its files by the destructor.
class TempFolder {
public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder &) = delete;
  TempFolder &operator=(const TempFolder &) = delete;
  const std::string &path() const { return path_; }
  std::string file(const std::string &name) const { return path_ + "/" + name; }

private:
  std::string path_;
};

// The whole content of a file; empty when it cannot be read.
std::string readFile(const std::string &path);
