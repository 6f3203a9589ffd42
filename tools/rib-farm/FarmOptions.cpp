#include "tools/rib-farm/FarmOptions.h"

#include <cstring>

namespace farm {

namespace {

// Plain decimal digits from 1 to `most`: a sign, blanks or a fraction would hide typing mistakes.
bool parseCount(const std::string &text, unsigned most, unsigned &value) {
  if (text.empty() || text.size() > 9) return false;
  unsigned result = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    result = result * 10 + static_cast<unsigned>(c - '0');
  }
  if (result == 0 || result > most) return false;
  value = result;
  return true;
}

// A frame rate as ffmpeg takes it and players show it: digits with at most one decimal point,
// above 0 and at most 1000.
bool validFps(const std::string &text) {
  if (text.empty() || text.size() > 12) return false;
  int points = 0;
  double value = 0, scale = 1;
  for (char c : text) {
    if (c == '.') {
      if (++points > 1) return false;
    } else if (c >= '0' && c <= '9') {
      if (points == 0) {
        value = value * 10 + (c - '0');
      } else {
        scale /= 10;
        value += (c - '0') * scale;
      }
    } else {
      return false;
    }
  }
  return text != "." && value > 0 && value <= 1000;
}

// The options that take a value, and what a wrong value is told.
struct ValueOption {
  const char *name;
  std::string FarmOptions::*text; // null: a count, stored in jobs
  const char *problem;
};

const ValueOption kValueOptions[] = {
    {"--jobs", nullptr, "is not a whole number from 1 to 100000"},
    {"--render", &FarmOptions::render, nullptr},
    {"--video", &FarmOptions::video, nullptr},
    {"--fps", &FarmOptions::fps, "is not a frame rate above 0 and at most 1000"},
    {"--out", &FarmOptions::outDir, nullptr},
};

// Why a --render command cannot render a frame, or empty.
std::string renderProblem(const std::string &command) {
  for (const char *placeholder : {"{in}", "{out}"})
    if (command.find(placeholder) == std::string::npos)
      return std::string("--render command has no ") + placeholder +
             " (the frame's RIB file and the picture to write)";
  return "";
}

} // namespace

const char *farmUsage() {
  return "usage: rib-farm [--local] [--jobs N] [--render 'CMD'] [--video OUT.mp4] [--fps F] "
         "[--no-wait] --out DIR FILE...";
}

const char *farmOptionHelp() {
  return "  --out DIR       folder of the pictures (made if missing): FILE becomes DIR/NAME.png,\n"
         "                  NAME being FILE's base name without .rib or .rib.gz\n"
         "  --local         render on this machine even where Slurm's sbatch is found\n"
         "  --jobs N        at most N frames at once (locally: default the number of processors;\n"
         "                  on Slurm: the array job's limit, default none)\n"
         "  --render 'CMD'  shell command that renders one frame, {in} and {out} standing for the\n"
         "                  RIB file and the PNG to write (default: rib-view --snapshot {out} "
         "{in})\n"
         "  --video OUT.mp4 join the pictures, in the order of the FILEs, into an H.264 video\n"
         "  --fps F         frames per second of the video (default 30)\n"
         "  --no-wait       on Slurm: print the job ids (frames, then video) and return at once\n"
         "  --help          print this help\n"
         "  --version       print the version\n";
}

FarmParse parseFarmOptions(int argc, const char *const *argv) {
  FarmParse result;
  FarmOptions &options = result.options;
  bool optionsEnd = false;
  for (int index = 1; index < argc; ++index) {
    const std::string arg = argv[index];
    if (optionsEnd || arg.empty() || arg[0] != '-') {
      if (arg == "-") {
        result.error = "standard input ('-') cannot be handed out as frames; name the files";
        return result;
      }
      options.files.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnd = true;
    } else if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (arg == "--local") {
      options.local = true;
    } else if (arg == "--no-wait") {
      options.noWait = true;
    } else {
      const std::size_t equals = arg.find('=');
      const std::string name = arg.substr(0, equals);
      const ValueOption *option = nullptr;
      for (const ValueOption &candidate : kValueOptions)
        if (name == candidate.name) option = &candidate;
      if (option == nullptr) {
        result.error = "unknown option '" + arg + "'";
        return result;
      }
      std::string value;
      if (equals != std::string::npos) {
        value = arg.substr(equals + 1);
      } else if (index + 1 < argc) {
        value = argv[++index];
      } else {
        result.error = name + " needs a value";
        return result;
      }
      const bool valid = option->text == nullptr ? parseCount(value, 100000, options.jobs)
                         : option->text == &FarmOptions::fps ? validFps(value)
                                                             : !value.empty();
      if (!valid) {
        result.error = option->problem != nullptr
                           ? "value '" + value + "' of " + name + " " + option->problem
                           : name + " needs a value that is not empty";
        return result;
      }
      if (option->text != nullptr) options.*(option->text) = value;
    }
  }
  if (options.help || options.version) return result;
  if (options.outDir.empty())
    result.error = "no --out folder for the pictures";
  else if (options.files.empty())
    result.error = "no RIB file to render";
  else if (!options.render.empty())
    result.error = renderProblem(options.render);
  if (result.error.empty() && options.noWait && options.local)
    result.error = "--no-wait leaves the frames to Slurm; it cannot go with --local";
  return result;
}

} // namespace farm
