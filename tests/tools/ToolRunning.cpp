#include "ToolRunning.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

std::string slurp(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void spill(const std::string &path, const std::string &text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::string quotedCommand(const std::string &program, const std::vector<std::string> &args) {
  std::string line = "'" + program + "'";
  for (const std::string &arg : args) line += " '" + arg + "'";
  return line;
}

ToolRun runCaptured(const std::string &command, const std::string &outPath,
                    const std::string &errPath) {
  std::string line = command;
  if (!outPath.empty()) line += " >'" + outPath + "'";
  line += " 2>'" + errPath + "'";
  const int status = std::system(line.c_str());
  ToolRun result;
  result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  if (!outPath.empty()) result.out = slurp(outPath);
  result.err = slurp(errPath);
  return result;
}

TempFolder::TempFolder(const std::string &prefix) {
  std::string name = "/tmp/" + prefix + "-XXXXXX";
  if (mkdtemp(name.data()) != nullptr) dir_ = name;
}

TempFolder::~TempFolder() {
  if (!dir_.empty()) std::filesystem::remove_all(dir_);
}
