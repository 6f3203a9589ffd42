// Rendering on Slurm: the frame script as one array job, one task per frame (tasks take every
// T-th frame where the cluster's MaxArraySize is smaller than the recording), at most N at once
// when --jobs is given; the video script as a job that starts when every task has ended, however
// (afterany). Slurm's own settings are left to it: SLURM_CONF, the default partition, and the
// SBATCH_* variables, which rib-farm's options only complete (a name and an output file for the
// jobs, unless SBATCH_JOB_NAME and SBATCH_OUTPUT give theirs).
#pragma once

#include <cstddef>
#include <map>
#include <string>

#include "tools/rib-farm/ProgressLine.h"
#include "tools/rib-farm/RunFolder.h"

namespace farm {

struct SlurmJobs {
  std::string frames; // the array job's id
  std::string video;  // the video job's id; empty when no video was asked for
};

// How many tasks one array job may have on this cluster (MaxArraySize), for `frames` frames.
std::size_t slurmTaskCount(std::size_t frames);

// Submits the run's scripts: `tasks` array tasks, at most `jobs` at once (0: no limit of ours), and
// the video job when `video`. Returns the problem as one line, or empty.
std::string submitToSlurm(const RunFolder &run, std::size_t tasks, unsigned jobs, bool video,
                          SlurmJobs &submitted);

// What Slurm last told of each job and task ("12_3" or "13" -> "CANCELLED").
using SlurmStates = std::map<std::string, std::string>;

// Waits until no task of `jobs` is pending or running any more, showing the frames whose result
// is there. Returns the problem (Slurm no longer answering, an interruption), or empty.
std::string waitForSlurm(const RunFolder &run, const SlurmJobs &jobs, std::size_t frames,
                         ProgressLine &progress, SlurmStates &states);

// Why a frame or the video has no result, from what Slurm last said of its task `id`.
std::string slurmEnding(const SlurmStates &states, const std::string &id);

} // namespace farm
