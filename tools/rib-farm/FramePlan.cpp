#include "tools/rib-farm/FramePlan.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>

namespace farm {

namespace {

bool endsWith(const std::string &text, const char *end) {
  const std::size_t size = std::strlen(end);
  return text.size() > size && text.compare(text.size() - size, size, end) == 0;
}

std::string inFolder(const std::string &folder, const std::string &name) {
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

} // namespace

std::string frameName(const std::string &file) {
  const std::size_t slash = file.find_last_of('/');
  std::string name = slash == std::string::npos ? file : file.substr(slash + 1);
  for (const char *extension : {".rib.gz", ".rib"})
    if (endsWith(name, extension)) return name.substr(0, name.size() - std::strlen(extension));
  return name;
}

std::string shellQuote(const std::string &text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string fillCommand(const std::string &command, const std::string &in, const std::string &out) {
  std::string filled;
  for (std::size_t at = 0; at < command.size();) {
    if (command.compare(at, 4, "{in}") == 0) {
      filled += shellQuote(in);
      at += 4;
    } else if (command.compare(at, 5, "{out}") == 0) {
      filled += shellQuote(out);
      at += 5;
    } else {
      filled += command[at++];
    }
  }
  return filled;
}

std::string framesProblem(const std::vector<std::string> &files, const std::string &outDir) {
  std::map<std::string, std::string> byName;
  for (const std::string &file : files) {
    std::error_code error;
    if (std::filesystem::is_directory(file, error))
      return "'" + file + "' is a folder, not a RIB file";
    if (access(file.c_str(), R_OK) != 0)
      return "cannot read '" + file + "': " + std::strerror(errno);
    const std::string name = frameName(file);
    if (name.empty() || name == "." || name == "..") return "'" + file + "' gives no picture name";
    const auto [earlier, added] = byName.emplace(name, file);
    if (!added)
      return "'" + earlier->second + "' and '" + file + "' would both become '" +
             inFolder(outDir, name + ".png") + "'";
  }
  return "";
}

std::string videoProblem(const std::string &video) {
  std::error_code error;
  if (std::filesystem::is_directory(video, error)) return "--video '" + video + "' is a folder";
  const std::filesystem::path folder = std::filesystem::path(video).parent_path();
  if (!folder.empty() && !std::filesystem::is_directory(folder, error))
    return "--video '" + video + "': there is no folder '" + folder.string() + "'";
  if (access(folder.empty() ? "." : folder.c_str(), W_OK) != 0)
    return "--video '" + video + "': cannot write in its folder: " + std::strerror(errno);
  return "";
}

std::vector<Frame> planFrames(const std::vector<std::string> &files, const std::string &outDir,
                              const std::string &token) {
  std::vector<Frame> frames;
  for (const std::string &file : files) {
    const std::string name = frameName(file);
    frames.push_back({file, inFolder(outDir, name + ".png"),
                      inFolder(outDir, "." + name + "." + token + ".png")});
  }
  return frames;
}

} // namespace farm
