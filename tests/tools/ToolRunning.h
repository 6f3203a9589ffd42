// Test helper: running the built programs as a user would, through the shell, and the files and
// folders such tests read and write.
#pragma once

#include <string>
#include <vector>

// What a run gave: its exit status (-1 when it did not exit normally) and what it wrote.
struct ToolRun {
  int exitStatus = -1;
  std::string out, err;
};

// The bytes of the file at `path`; empty when it cannot be read.
std::string slurp(const std::string &path);

// Writes `text` as the whole file at `path`.
void spill(const std::string &path, const std::string &text);

// `program` and each of `args` in single quotes, as one shell command line; none may hold a quote.
std::string quotedCommand(const std::string &program, const std::vector<std::string> &args);

// Runs the shell command line `command` with standard output into the file `outPath` (left where
// it goes when `outPath` is empty) and standard error into `errPath`, and reads them back.
ToolRun runCaptured(const std::string &command, const std::string &outPath,
                    const std::string &errPath);

// A fresh folder under /tmp whose name starts with `prefix`, removed with everything in it when
// this goes; dir() is empty when it could not be made.
class TempFolder {
public:
  explicit TempFolder(const std::string &prefix);
  ~TempFolder();
  TempFolder(const TempFolder &) = delete;
  TempFolder &operator=(const TempFolder &) = delete;

  const std::string &dir() const { return dir_; }
  std::string path(const std::string &name) const { return dir_ + "/" + name; }

private:
  std::string dir_;
};
