#include "ViewArguments.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace ribview {
namespace {

// Largest side of a picture asked for on the command line: what Mesa's software drawing allows.
constexpr long kMaxSide = 16384;

// `text` as a whole number from 1 to `max`, or 0.
long positive(const std::string &text, long max) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return 0;
  errno = 0;
  const long value = std::strtol(text.c_str(), nullptr, 10);
  return errno == 0 && value >= 1 && value <= max ? value : 0;
}

std::string parseSize(const std::string &text, ViewArguments &arguments) {
  const size_t x = text.find('x');
  const long width = x == std::string::npos ? 0 : positive(text.substr(0, x), kMaxSide);
  const long height = x == std::string::npos ? 0 : positive(text.substr(x + 1), kMaxSide);
  if (width == 0 || height == 0)
    return "--size '" + text + "' is not WIDTHxHEIGHT in pixels from 1 to " +
           std::to_string(kMaxSide);
  arguments.width = static_cast<int>(width);
  arguments.height = static_cast<int>(height);
  return "";
}

} // namespace

const char *viewUsage() {
  return "usage: rib-view [--frame N] [--lines] [--size WxH] [--snapshot OUT.png] FILE...   "
         "('-' reads standard input)";
}

const char *viewHelp() {
  return "Shows the pictures of RIB files (each WorldEnd ends one) in a window, or writes them as "
         "PNG.\n"
         "  --frame N          the picture to write, or to start playing at (default 1)\n"
         "  --lines            draw the surfaces as wires\n"
         "  --size WxH         the picture's size in pixels instead of its Format resolution\n"
         "  --snapshot OUT.png no window: write the picture as PNG (one %d in OUT: every "
         "picture,\n"
         "                     numbered by its FrameBegin number)\n"
         "  --help             print this help\n"
         "  --version          print the version\n"
         "Keys in the window: space pauses, Right/Left step, Home goes to the first picture, l "
         "toggles\n"
         "wires, q or Esc quits.\n";
}

std::string parseViewArguments(int argc, const char *const *argv, ViewArguments &arguments) {
  bool optionsEnd = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (optionsEnd || arg == "-" || arg.empty() || arg[0] != '-') {
      arguments.inputs.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnd = true;
      continue;
    }
    if (arg == "-h" || arg == "--help") {
      arguments.help = true;
      continue;
    }
    if (arg == "--version") {
      arguments.version = true;
      continue;
    }
    if (arg == "--lines") {
      arguments.lines = true;
      continue;
    }
    // The options with a value take it as the next argument or after '='.
    const size_t equals = arg.find('=');
    const std::string name = arg.substr(0, equals);
    if (name != "--frame" && name != "--size" && name != "--snapshot")
      return "unknown option '" + arg + "'";
    std::string value;
    if (equals != std::string::npos)
      value = arg.substr(equals + 1);
    else if (i + 1 < argc)
      value = argv[++i];
    else
      return "option " + name + " needs a value";
    if (name == "--frame") {
      arguments.frame = static_cast<int>(positive(value, INT_MAX));
      if (arguments.frame == 0) return "--frame '" + value + "' is not a picture number (1, 2, ...)";
    } else if (name == "--size") {
      if (std::string problem = parseSize(value, arguments); !problem.empty()) return problem;
    } else {
      if (value.empty()) return "option --snapshot needs a file name";
      if (std::string problem = simtool::parseFramePattern(value, arguments.outputs, "--snapshot");
          !problem.empty())
        return problem;
      arguments.snapshot = true;
      arguments.output = value;
    }
  }
  if (!arguments.help && !arguments.version && arguments.inputs.empty()) return "no file to view";
  return "";
}

} // namespace ribview
