#include "tools/sim/SimOptions.h"

#include <climits>
#include <limits>

namespace simtool {

namespace {

// Accepts plain decimal digits only: a sign, blanks or a fraction would hide typing mistakes.
const char *parseCount(const std::string &text, std::uint64_t &value) {
  if (text.empty()) return "is empty";
  if (text[0] == '-') return "must not be negative";
  std::uint64_t result = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return "is not a whole number";
    const std::uint64_t digit = static_cast<std::uint64_t>(c - '0');
    if (result > (std::numeric_limits<std::uint64_t>::max() - digit) / 10) return "is too large";
    result = result * 10 + digit;
  }
  value = result;
  return nullptr;
}

std::string describe(const std::string &option, const std::string &value, const char *problem) {
  return "value '" + value + "' of " + option + " " + problem;
}

// "S:MODE" with S a count and MODE one of 0, 1, 2.
std::string parsePush(const std::string &text, Push &push) {
  const std::size_t colon = text.find(':');
  if (colon == std::string::npos) return "value '" + text + "' of --push is not of the form S:MODE";
  const std::string stepText = text.substr(0, colon);
  const std::string modeText = text.substr(colon + 1);
  if (const char *problem = parseCount(stepText, push.afterSteps))
    return "step '" + stepText + "' of --push " + problem;
  std::uint64_t mode = 0;
  if (parseCount(modeText, mode) != nullptr || mode > 2)
    return "mode '" + modeText + "' of --push is not 0, 1 or 2";
  push.mode = static_cast<int>(mode);
  return "";
}

// A frame's file name is always a file: an expansion that the library would take for standard
// output, a command or a renderer ("%.0d|cmd" or "-%.0d" for frame 0) is refused. Only the first
// frame needs a look: the number of any later frame has a digit, and a name that starts with '|'
// does so for every frame.
std::string frameNameProblem(const SimOptions &options) {
  const std::string first = options.ribFiles.fileName(options.firstFrame);
  if (isRibFile(first)) return "";
  return "--rib file name '" + options.ribTarget + "' gives frame " +
         std::to_string(options.firstFrame) + " the name '" + first + "', which is not a file name";
}

} // namespace

const char *simUsage() {
  return "usage: wobblerama-sim [--steps N] [--every K] [--push S:MODE]... "
         "[--rib FILE [--rib-binary | --rib-compact] [--first-frame N]]";
}

// The project's one version (RIB_VERSION of rib/ri.h), given by the build.
const char *simVersion() { return "wobblerama-sim " WOBBLE_VERSION; }

const char *simHelp() {
  return "Runs the demo's world without a window and prints its state as CSV.\n"
         "  --steps N          world steps to take (default 1000)\n"
         "  --every K          print the state after every K steps too (default 0: the final one)\n"
         "  --push S:MODE      after S steps, push the body with mode 0, 1 or 2 (repeatable)\n"
         "  --rib FILE         record each printed state as a RIB frame: a file (.gz: gzip; one\n"
         "                     %d: a file per frame), '-' for standard output, or '|command'\n"
         "  --rib-binary       float arrays of the RIB in binary\n"
         "  --rib-compact      every token of the RIB binary\n"
         "  --first-frame N    number of the first recorded frame (default 1)\n"
         "  -h, --help         print this help and exit\n"
         "  --version          print the version and exit\n";
}

ParseResult parseSimOptions(int argc, const char *const *argv) {
  ParseResult result;
  bool firstFrameGiven = false;
  for (int index = 1; index < argc; ++index) {
    std::string option = argv[index];
    if (option == "--help" || option == "-h") {
      result.options.help = true;
      continue;
    }
    if (option == "--version") {
      result.options.version = true;
      continue;
    }
    if (option == "--rib-binary") {
      result.options.ribBinary = true;
      continue;
    }
    if (option == "--rib-compact") {
      result.options.ribCompact = true;
      continue;
    }
    std::string value;
    bool hasValue = false;
    const std::size_t equals = option.find('=');
    if (option.compare(0, 2, "--") == 0 && equals != std::string::npos) {
      value = option.substr(equals + 1);
      option = option.substr(0, equals);
      hasValue = true;
    }
    if (option != "--steps" && option != "--every" && option != "--push" && option != "--rib" &&
        option != "--first-frame") {
      result.error = "unknown option '" + option + "'";
      return result;
    }
    if (!hasValue) {
      if (index + 1 >= argc) {
        result.error = "option " + option + " needs a value";
        return result;
      }
      value = argv[++index];
    }
    if (option == "--rib") {
      if (value.empty() || value == "|") {
        result.error = "value of --rib names no file or command";
        return result;
      }
      result.options.ribTarget = value;
      result.options.ribFiles = FramePattern();
      if (isRibFile(value)) {
        result.error = parseFramePattern(value, result.options.ribFiles);
        if (!result.error.empty()) return result;
      }
      continue;
    }
    if (option == "--first-frame") {
      std::uint64_t first = 0;
      const char *problem = parseCount(value, first);
      if (problem == nullptr && first > static_cast<std::uint64_t>(INT_MAX))
        problem = "is too large";
      if (problem != nullptr) {
        result.error = describe(option, value, problem);
        return result;
      }
      result.options.firstFrame = static_cast<int>(first);
      firstFrameGiven = true;
      continue;
    }
    if (option == "--push") {
      Push push;
      result.error = parsePush(value, push);
      if (!result.error.empty()) return result;
      result.options.pushes.push_back(push);
      continue;
    }
    std::uint64_t &target = option == "--steps" ? result.options.steps : result.options.every;
    if (const char *problem = parseCount(value, target)) {
      result.error = describe(option, value, problem);
      return result;
    }
  }
  if (result.options.ribBinary && result.options.ribTarget.empty())
    result.error = "option --rib-binary needs --rib";
  else if (result.options.ribCompact && result.options.ribTarget.empty())
    result.error = "option --rib-compact needs --rib";
  else if (result.options.ribBinary && result.options.ribCompact)
    result.error = "options --rib-binary and --rib-compact exclude each other";
  else if (firstFrameGiven && result.options.ribTarget.empty())
    result.error = "option --first-frame needs --rib";
  else if (!result.options.ribTarget.empty() &&
           printedStateCount(result.options) - 1 >
               static_cast<std::uint64_t>(INT_MAX - result.options.firstFrame))
    result.error = "the recorded frames would be numbered past " + std::to_string(INT_MAX) +
                   " (--first-frame " + std::to_string(result.options.firstFrame) + ", " +
                   std::to_string(printedStateCount(result.options)) + " frames)";
  else if (result.options.ribFiles.perFrame())
    result.error = frameNameProblem(result.options);
  return result;
}

bool isRibFile(const std::string &target) {
  return !target.empty() && target != "-" && target[0] != '|' && target != "rendrib" &&
         target != "rgl" && target != "prman";
}

std::uint64_t printedStateCount(const SimOptions &options) {
  if (options.steps == 0 || options.every == 0) return 1;
  return options.steps / options.every + (options.steps % options.every != 0 ? 1 : 0);
}

} // namespace simtool
