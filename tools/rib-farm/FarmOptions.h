// Command line of rib-farm: which RIB frames to render, into which folder, with which command,
// where (Slurm or this machine) and how many at once, and whether to join them into a video.
// Parsing never exits or prints; it returns the problem as one line so that the caller decides how
// to report it (usage line, exit status 2).
#pragma once

#include <string>
#include <vector>

namespace farm {

struct FarmOptions {
  bool local = false;             // --local: render on this machine even where Slurm is found
  unsigned jobs = 0;              // --jobs: frames rendered at once; 0: not given
  std::string render;             // --render: command with {in} and {out}; empty: rib-view
  std::string video;              // --video: the video to write; empty: none
  std::string fps = "30";         // --fps: frames per second of the video, as ffmpeg reads it
  bool noWait = false;            // --no-wait: print the Slurm job ids and return
  std::string outDir;             // --out: folder of the pictures
  std::vector<std::string> files; // the frames' RIB files, in the video's order
  bool help = false;              // --help: print the usage and the options
  bool version = false;           // --version: print the name and version
};

// Result of parsing: `error` is empty on success, otherwise one line naming the problem.
struct FarmParse {
  FarmOptions options;
  std::string error;
};

// Parses argv[1..argc-1]. Options take their value as the next argument or after '='; "--" ends
// the options.
FarmParse parseFarmOptions(int argc, const char *const *argv);

// The usage line, without a trailing newline.
const char *farmUsage();

// One line per option, each ending in a newline.
const char *farmOptionHelp();

} // namespace farm
