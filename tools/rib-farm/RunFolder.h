// The run's own folder, DIR/.rib-farm-XXXXXX: the scripts that render the frames and join the
// video, and what each frame's command left behind, its status and its error output. The same
// scripts run as local processes and as Slurm jobs, so that both ways render alike; on a cluster
// DIR is on a file system the nodes share, and so is this folder.
//
//   frames.sh TASK     renders frames TASK, TASK + STRIDE, ... (TASK defaults to the Slurm array
//                      task's index); exit status 0 when all of them rendered
//   N.status           frame N's result, written last: 0, the command's exit status, "nopicture"
//                      (status 0 but no picture) or "rename" (the picture could not be named)
//   N.err              frame N's error output
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "tools/rib-farm/FramePlan.h"

namespace farm {

struct RunFolder {
  std::string path;  // absolute
  std::string token; // its random part, which names the hidden files of the run
  std::string cwd;   // the folder rib-farm ran in; the scripts run there too
};

// Makes `outDir` (and missing parents) and a new run folder in it. Returns the problem as one
// line, or empty.
std::string createRunFolder(const std::string &outDir, RunFolder &run);

// Removes the run folder and everything in it.
void removeRunFolder(const RunFolder &run);

// Writes frames.sh: frame i is rendered by commands[i] and becomes frames[i].picture; a task
// renders every `stride`-th frame. Returns the problem, or empty.
std::string writeFramesScript(const RunFolder &run, const std::vector<Frame> &frames,
                              const std::vector<std::string> &commands, std::size_t stride);

std::string framesScriptPath(const RunFolder &run);

// Writes `text` to `path`, all or nothing said: returns the problem, or empty.
std::string writeTextFile(const std::string &path, const std::string &text);

// The first line of a file, at most about 200 characters, control characters shown as '?';
// empty when the file is missing or empty.
std::string firstLineOf(const std::string &path);

// What a result file says, trimmed; `found` false when there is none (yet).
std::string readResult(const std::string &path, bool &found);

// How frame `index` ended, as its result file says.
struct FrameOutcome {
  enum class State { kUnknown, kRendered, kFailed } state = State::kUnknown;
  std::string problem; // for kFailed: "exit status 1: <first line of the error output>"
};
FrameOutcome readFrameOutcome(const RunFolder &run, std::size_t index);

} // namespace farm
