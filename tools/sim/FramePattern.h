// File names of a RIB recording: one file for the whole run, or one complete file per frame.
//
// The --rib file name is read the way printf reads a format with one int argument: a single
// frame-number conversion "%d", with optional flags ("-", "+", " ", "0"), width and precision
// ("wobble.%04d.rib"), makes one file per frame; "%%" is a percent sign. A name without a
// conversion names the one file of the whole run. The name is never handed to printf itself.
//
//     FramePattern pattern;
//     if (parseFramePattern("wobble.%04d.rib", pattern).empty())
//         pattern.fileName(7);                       // "wobble.0007.rib"
#pragma once

#include <string>

namespace simtool {

struct FramePattern {
  std::string prefix;     // text before the conversion ("%%" already read as "%")
  std::string conversion; // the conversion as written ("%04d"); empty: one file
  std::string suffix;     // text after it

  bool perFrame() const { return !conversion.empty(); }
  /// The file that holds frame `frame`; without a conversion, the one file of the run.
  std::string fileName(int frame) const;
};

/// Reads `name` into `pattern`. Returns "" on success, otherwise one line naming the problem
/// (more than one conversion, a conversion other than d, a lone '%'), which names the name as
/// the `option`'s file name.
std::string parseFramePattern(const std::string &name, FramePattern &pattern,
                              const char *option = "--rib");

} // namespace simtool
