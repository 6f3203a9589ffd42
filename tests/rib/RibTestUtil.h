// Helpers for RIB tests: run requests against a fresh context writing to a temporary file and get
// back exactly the bytes written after the two header lines.
#pragma once

#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "Diagnostics.h"
#include "RibWriter.h"

namespace ribtest {

/// A writable literal for the char* parameters of the RenderMan interface.
inline char *tok(const char *text) { return const_cast<char *>(text); }

inline std::string tempPath(const char *stem) {
  return std::string(::testing::TempDir()) + stem + "_" + std::to_string(::getpid()) + ".rib";
}

inline std::string readFile(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

constexpr const char *kHeader = "##RenderMan RIB-Structure 1.0\nversion 3.03\n";

/// Runs `requests` on a new context (binary encoding when asked), destroys it and returns what it
/// wrote between the header and the final newline of the destructor.
inline std::string ribOf(const std::function<void(rib::RibWriter &)> &requests,
                         bool binary = false) {
  std::string path = tempPath("ribOf");
  int32_t binaryFlag = binary ? 1 : 0;
  rib::RibOption options[] = {{"binary", &binaryFlag}, {nullptr, nullptr}};
  auto *rib = new rib::RibWriter(path.c_str(), options);
  requests(*rib);
  delete rib;
  std::string all = readFile(path);
  std::remove(path.c_str());
  std::string header = kHeader;
  if (all.compare(0, header.size(), header) != 0 || all.empty() || all.back() != '\n')
    return "<malformed: " + all + ">";
  return all.substr(header.size(), all.size() - header.size() - 1);
}

/// The bytes of a literal, embedded zeros included.
template <size_t N> std::string bytes(const char (&text)[N]) { return std::string(text, N - 1); }

/// Collects what the library reports from its construction until take(): the text its default
/// sink would write on standard error.
class CollectedDiagnostics {
public:
  CollectedDiagnostics() : previous_(rib::setDiagnosticSink(collect, &said_)) {}
  ~CollectedDiagnostics() { stop(); }
  CollectedDiagnostics(const CollectedDiagnostics &) = delete;
  CollectedDiagnostics &operator=(const CollectedDiagnostics &) = delete;

  /// Stops collecting and returns what was said.
  std::string take() {
    stop();
    return said_;
  }

private:
  static void collect(void *user, rib::DiagnosticKind, const char *text, size_t length) {
    static_cast<std::string *>(user)->append(text, length);
  }
  void stop() {
    if (stopped_) return;
    rib::setDiagnosticSink(previous_.sink, previous_.user);
    stopped_ = true;
  }

  std::string said_;
  rib::DiagnosticTarget previous_;
  bool stopped_ = false;
};

/// What the library reports while `action` runs.
inline std::string stderrOf(const std::function<void()> &action) {
  CollectedDiagnostics said;
  action();
  return said.take();
}

/// How a function run in a child process ended, and what it wrote on standard error.
struct ChildRun {
  int exitStatus = -1; // -1 when a signal ended it
  int signal = 0;
  std::string stderrText;
};

/// Runs `body` in a forked child whose standard error goes to a file; the child exits with what
/// `body` returns. A fault that ends a process ends only the child.
inline ChildRun runInChild(const std::function<int()> &body) {
  const std::string errPath = tempPath("child_stderr");
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (err < 0 || dup2(err, 2) < 0) _exit(126);
    const int status = body();
    std::fflush(nullptr);
    _exit(status);
  }
  ChildRun run;
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid) return run;
  if (WIFEXITED(status)) run.exitStatus = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) run.signal = WTERMSIG(status);
  run.stderrText = readFile(errPath);
  std::remove(errPath.c_str());
  return run;
}

} // namespace ribtest
