// Command line of wobblerama-sim: how many steps to take, how often to print the state and which
// mouse kicks to give at which step. Parsing never exits or prints; it returns the problem as one
// line so that the caller decides how to report it (usage line, exit status 2).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/sim/FramePattern.h"

namespace simtool {

// One kick: after `afterSteps` steps have been taken, push the body with `mode` (0, 1 or 2).
struct Push {
  std::uint64_t afterSteps = 0;
  int mode = 0;
};

struct SimOptions {
  std::uint64_t steps = 1000; // world steps to take
  std::uint64_t every = 0;    // print after every `every` steps; 0: only the final state
  std::vector<Push> pushes;   // in command-line order
  std::string ribTarget;      // --rib: RIB file, "-" (standard output) or "|command"; empty: none
  FramePattern ribFiles;      // the files a --rib file name stands for (one, or one per frame)
  bool ribBinary = false;     // --rib-binary: binary RIB encoding
  bool ribCompact = false;    // --rib-compact: every token binary
  int firstFrame = 1;         // --first-frame: number of the first recorded frame
  bool help = false;          // --help was given: print the usage and do nothing else
  bool version = false;       // --version was given: print the version and do nothing else
};

// Result of parsing: `error` is empty on success, otherwise one line naming the problem.
struct ParseResult {
  SimOptions options;
  std::string error;
};

// Parses argv[1..argc-1]. Options take their value as the next argument or after '='.
ParseResult parseSimOptions(int argc, const char *const *argv);

// True when a --rib target names a file (or a file per frame): not standard output ("-"), not a
// command ("|command") and not one of the renderers the RIB library starts by name.
bool isRibFile(const std::string &target);

// How many states a run with `options` prints (and records): every `every` steps and the final
// state once; the initial state alone when there are no steps.
std::uint64_t printedStateCount(const SimOptions &options);

// The usage line, without a trailing newline.
const char *simUsage();

// What --version prints, without a trailing newline: "wobblerama-sim VERSION".
const char *simVersion();

// What --help prints after the usage line: one line per option, each ending in a newline.
const char *simHelp();

} // namespace simtool
