#include "tools/rib-farm/SlurmSubmitter.h"

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>

#include "tools/rib-farm/ChildProcess.h"
#include "tools/rib-farm/VideoAssembly.h"

namespace farm {

namespace {

// The states a job or task leaves no more (Slurm's squeue names them so).
const char *const kFinalStates[] = {"COMPLETED",     "CANCELLED",    "FAILED",    "TIMEOUT",
                                    "NODE_FAIL",     "PREEMPTED",    "BOOT_FAIL", "DEADLINE",
                                    "OUT_OF_MEMORY", "SPECIAL_EXIT", "REVOKED"};

bool isFinal(const std::string &state) {
  return std::find(std::begin(kFinalStates), std::end(kFinalStates), state) !=
         std::end(kFinalStates);
}

std::string firstLine(const std::string &text) {
  std::string line = text.substr(0, text.find('\n'));
  if (line.size() > 200) line = line.substr(0, 200) + "...";
  return line;
}

// Runs sbatch with `options` and the script; the job id, or empty with `problem` set.
std::string sbatch(std::vector<std::string> options, const std::string &script,
                   std::string &problem) {
  options.insert(options.begin(), {"sbatch", "--parsable"});
  options.push_back(script);
  const Captured captured = runCaptured(options);
  if (!captured.started) {
    problem = captured.problem;
    return "";
  }
  // --parsable prints "ID" or "ID;CLUSTER".
  const std::string id = firstLine(captured.output).substr(0, captured.output.find(';'));
  if (!succeeded(captured.status) || id.empty() ||
      id.find_first_not_of("0123456789") != std::string::npos) {
    const std::string said = firstLine(captured.errors);
    problem =
        "sbatch failed (" + describeEnd(captured.status) + ")" + (said.empty() ? "" : ": " + said);
    return "";
  }
  return id;
}

// Options of ours that the SBATCH_* variable of the same meaning overrides.
void addUnlessSet(std::vector<std::string> &options, const char *variable,
                  const std::string &option) {
  if (std::getenv(variable) == nullptr) options.push_back(option);
}

std::size_t renderedFrames(const RunFolder &run, std::size_t frames) {
  std::size_t done = 0;
  for (std::size_t i = 0; i < frames; ++i)
    if (readFrameOutcome(run, i).state != FrameOutcome::State::kUnknown) ++done;
  return done;
}

void sleepFor(std::chrono::milliseconds duration) {
  const timespec wait = {static_cast<time_t>(duration.count() / 1000),
                         static_cast<long>(duration.count() % 1000) * 1000000L};
  nanosleep(&wait, nullptr); // an interruption ends it early, as it should
}

} // namespace

std::size_t slurmTaskCount(std::size_t frames) {
  std::size_t most = 1001; // Slurm's default
  const Captured config = runCaptured({"scontrol", "show", "config"});
  const std::size_t at = config.output.find("MaxArraySize");
  if (succeeded(config.status) && at != std::string::npos) {
    const std::size_t equals = config.output.find('=', at);
    if (equals != std::string::npos) {
      const long value = std::strtol(config.output.c_str() + equals + 1, nullptr, 10);
      if (value > 0) most = static_cast<std::size_t>(value);
    }
  }
  return std::min(frames, most);
}

std::string submitToSlurm(const RunFolder &run, std::size_t tasks, unsigned jobs, bool video,
                          SlurmJobs &submitted) {
  std::string array = "--array=0-" + std::to_string(tasks - 1);
  if (jobs > 0) array += "%" + std::to_string(jobs);
  std::vector<std::string> frameOptions = {array};
  addUnlessSet(frameOptions, "SBATCH_JOB_NAME", "--job-name=rib-farm");
  addUnlessSet(frameOptions, "SBATCH_OUTPUT", "--output=" + run.path + "/slurm-%A_%a.out");
  std::string problem;
  submitted.frames = sbatch(frameOptions, framesScriptPath(run), problem);
  if (submitted.frames.empty()) return problem;
  if (!video) return "";
  std::vector<std::string> videoOptions = {"--dependency=afterany:" + submitted.frames};
  addUnlessSet(videoOptions, "SBATCH_JOB_NAME", "--job-name=rib-farm-video");
  addUnlessSet(videoOptions, "SBATCH_OUTPUT", "--output=" + run.path + "/slurm-video.out");
  submitted.video = sbatch(videoOptions, videoScriptPath(run), problem);
  if (submitted.video.empty()) return problem + " (the frames are job " + submitted.frames + ")";
  return "";
}

std::string waitForSlurm(const RunFolder &run, const SlurmJobs &jobs, std::size_t frames,
                         ProgressLine &progress, SlurmStates &states) {
  const std::string ids = jobs.video.empty() ? jobs.frames : jobs.frames + "," + jobs.video;
  const std::string note =
      "Slurm job " + (jobs.video.empty() ? jobs.frames : jobs.frames + " and " + jobs.video);
  auto lastAnswer = std::chrono::steady_clock::now();
  std::chrono::milliseconds pause(250);
  for (;;) {
    progress.show(renderedFrames(run, frames), frames, note);
    const Captured queue = runCaptured(
        {"squeue", "--noheader", "--array", "--states=all", "--jobs=" + ids, "--format=%i %T"});
    if (succeeded(queue.status)) {
      lastAnswer = std::chrono::steady_clock::now();
      bool active = false;
      std::size_t start = 0;
      while (start < queue.output.size()) {
        std::size_t end = queue.output.find('\n', start);
        if (end == std::string::npos) end = queue.output.size();
        const std::string line = queue.output.substr(start, end - start);
        start = end + 1;
        const std::size_t space = line.find(' ');
        if (space == std::string::npos) continue;
        const std::string state = line.substr(space + 1);
        states[line.substr(0, space)] = state;
        if (!isFinal(state)) active = true;
      }
      if (!active) return "";
    } else if (queue.errors.find("Invalid job id") != std::string::npos) {
      return ""; // every job has ended and left the controller's memory
    } else if (std::chrono::steady_clock::now() - lastAnswer > std::chrono::minutes(5)) {
      const std::string said = firstLine(queue.started ? queue.errors : queue.problem);
      return "Slurm has not answered for five minutes (squeue: " + said + ")";
    }
    if (interruption()) return "interrupted";
    sleepFor(pause);
    pause = std::min(pause * 3 / 2, std::chrono::milliseconds(5000));
    if (interruption()) return "interrupted";
  }
}

std::string slurmEnding(const SlurmStates &states, const std::string &id) {
  const std::string task = (id.find('_') == std::string::npos ? "Slurm job " : "Slurm task ") + id;
  const auto found = states.find(id);
  if (found == states.end()) return task + " was never seen in the queue";
  const std::string &state = found->second;
  // A pending array task that is cancelled leaves the queue at once, without a state of its own.
  if (state == "PENDING") return task + " left the queue before it ran (cancelled while pending)";
  if (isFinal(state)) return task + " ended " + state + " without a result";
  return task + " left the queue while " + state + ", without a result";
}

} // namespace farm
