#include "tools/rib-farm/RunFolder.h"

#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace farm {

namespace fs = std::filesystem;

namespace {

// What the frame command's result file holds besides an exit status, and what it means.
struct ResultWord {
  const char *word;
  const char *meaning;
};
const ResultWord kResultWords[] = {
    {"nopicture", "the command succeeded but wrote no picture"},
    {"rename", "the picture could not be given its name"},
};

// The frames' script: render() runs one frame's command, frame() holds a case per frame.
const char *kFramesHead =
    "#!/bin/sh\n"
    "# rib-farm: renders frames TASK, TASK + STRIDE, ... (TASK: the first argument, else\n"
    "# the Slurm array task's index). Each command writes a hidden picture, named once it\n"
    "# succeeded. A task ended from outside (scancel sends TERM) records no result of its\n"
    "# own: its ending is the one Slurm gives it.\n"
    "trap 'rm -f \"$hidden\"; exit 143' TERM\n";

const char *kRenderFunction =
    "render() { # index, picture, hidden picture, command\n"
    "  hidden=$3\n"
    "  sh -c \"$4\" >/dev/null 2>\"$run/$1.err\"\n"
    "  status=$?\n"
    "  if [ \"$status\" -eq 0 ] && [ ! -s \"$3\" ]; then status=nopicture; fi\n"
    "  if [ \"$status\" = 0 ]; then mv -f \"$3\" \"$2\" || status=rename; fi\n"
    "  [ \"$status\" = 0 ] || rm -f \"$3\"\n"
    "  echo \"$status\" >\"$run/$1.status.part\" && mv -f \"$run/$1.status.part\" "
    "\"$run/$1.status\"\n"
    "  [ \"$status\" = 0 ]\n"
    "}\n";

const char *kTaskLoop = "task=${1:-${SLURM_ARRAY_TASK_ID:?no task index}}\n"
                        "failed=0\n"
                        "i=$task\n"
                        "while [ \"$i\" -lt \"$frames\" ]; do\n"
                        "  frame \"$i\" || failed=1\n"
                        "  i=$((i + stride))\n"
                        "done\n"
                        "exit $failed\n";

} // namespace

std::string createRunFolder(const std::string &outDir, RunFolder &run) {
  std::error_code error;
  fs::create_directories(outDir, error);
  if (error) return "cannot make the folder '" + outDir + "': " + error.message();
  const fs::path absolute = fs::absolute(outDir, error);
  if (error) return "cannot find the folder '" + outDir + "': " + error.message();
  std::string pattern = (absolute / ".rib-farm-XXXXXX").lexically_normal().string();
  if (mkdtemp(pattern.data()) == nullptr)
    return "cannot make a folder in '" + outDir + "': " + std::strerror(errno);
  run.path = pattern;
  run.token = pattern.substr(pattern.size() - 15); // "rib-farm-XXXXXX"
  run.cwd = fs::current_path(error).string();
  if (error) {
    removeRunFolder(run);
    return "cannot tell the current folder: " + error.message();
  }
  return "";
}

void removeRunFolder(const RunFolder &run) {
  std::error_code error;
  if (!run.path.empty()) fs::remove_all(run.path, error);
}

std::string framesScriptPath(const RunFolder &run) { return run.path + "/frames.sh"; }

std::string writeTextFile(const std::string &path, const std::string &text) {
  std::FILE *file = std::fopen(path.c_str(), "w");
  if (file == nullptr) return "cannot write '" + path + "': " + std::strerror(errno);
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  const int writeErrno = errno;
  if (std::fclose(file) != 0 || !written)
    return "cannot write '" + path + "': " + std::strerror(written ? errno : writeErrno);
  return "";
}

std::string writeFramesScript(const RunFolder &run, const std::vector<Frame> &frames,
                              const std::vector<std::string> &commands, std::size_t stride) {
  std::string script = kFramesHead;
  script += "cd " + shellQuote(run.cwd) + " || exit 1\n";
  script += "run=" + shellQuote(run.path) + "\n";
  script += "frames=" + std::to_string(frames.size()) + " stride=" + std::to_string(stride) + "\n";
  script += kRenderFunction;
  script += "frame() {\n  case $1 in\n";
  for (std::size_t i = 0; i < frames.size(); ++i)
    script += "  " + std::to_string(i) + ") render " + std::to_string(i) + " " +
              shellQuote(frames[i].picture) + " " + shellQuote(frames[i].hidden) + " " +
              shellQuote(commands[i]) + " ;;\n";
  script += "  esac\n}\n";
  script += kTaskLoop;
  return writeTextFile(framesScriptPath(run), script);
}

std::string firstLineOf(const std::string &path) {
  std::FILE *file = std::fopen(path.c_str(), "r");
  if (file == nullptr) return "";
  char buffer[256];
  const std::size_t size = std::fread(buffer, 1, sizeof buffer, file);
  std::fclose(file);
  std::string line;
  for (std::size_t i = 0; i < size && buffer[i] != '\n'; ++i) {
    const unsigned char c = static_cast<unsigned char>(buffer[i]);
    if (c == '\r') continue;
    line += c < 0x20 || c == 0x7f ? '?' : static_cast<char>(c);
  }
  if (line.size() > 200) line = line.substr(0, 200) + "...";
  return line;
}

std::string readResult(const std::string &path, bool &found) {
  std::FILE *file = std::fopen(path.c_str(), "r");
  found = file != nullptr;
  if (file == nullptr) return "";
  char buffer[32] = {};
  const std::size_t size = std::fread(buffer, 1, sizeof buffer - 1, file);
  std::fclose(file);
  std::string text(buffer, size);
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

FrameOutcome readFrameOutcome(const RunFolder &run, std::size_t index) {
  const std::string base = run.path + "/" + std::to_string(index);
  bool found = false;
  const std::string result = readResult(base + ".status", found);
  FrameOutcome outcome;
  if (!found) return outcome;
  if (result == "0") {
    outcome.state = FrameOutcome::State::kRendered;
    return outcome;
  }
  outcome.state = FrameOutcome::State::kFailed;
  const std::string line = firstLineOf(base + ".err");
  for (const ResultWord &word : kResultWords) {
    if (result != word.word) continue;
    outcome.problem = line.empty() ? word.meaning : word.meaning + (": " + line);
    return outcome;
  }
  outcome.problem = "exit status " + result + (line.empty() ? " (no error output)" : ": " + line);
  return outcome;
}

} // namespace farm
