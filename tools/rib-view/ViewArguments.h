// The command line of rib-view: which pictures of which inputs to show or write, and how. Parsing
// never prints or exits: a problem comes back as one line for the caller to report with the usage.
//
//     ViewArguments arguments;
//     const std::string problem = parseViewArguments(argc, argv, arguments);
#pragma once

#include <string>
#include <vector>

#include "tools/sim/FramePattern.h"

namespace ribview {

struct ViewArguments {
  std::vector<std::string> inputs; // read one after the other as one stream; "-": standard input
  int frame = 0;                   // --frame N: the picture to write or start at; 0: not given
  bool lines = false;              // --lines: triangles drawn as their edges
  int width = 0, height = 0;       // --size WxH; 0: the Format resolution
  bool snapshot = false;           // --snapshot OUT.png given: no window
  std::string output;              // OUT.png as given
  simtool::FramePattern outputs;   // the files OUT stands for: one, or one per picture
  bool help = false, version = false;

  /// The picture to write or show first: --frame, else the first.
  int firstPicture() const { return frame > 0 ? frame : 1; }
};

/// Reads argv[1..argc-1] into `arguments`; returns "" or the one line naming the problem.
std::string parseViewArguments(int argc, const char *const *argv, ViewArguments &arguments);

/// The usage line, without a newline.
const char *viewUsage();
/// The usage and one line per option, as --help prints them.
const char *viewHelp();

} // namespace ribview
