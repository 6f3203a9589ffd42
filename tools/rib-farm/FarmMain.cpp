// rib-farm: renders a recording's per-frame RIB files into PNG pictures, one command per frame,
// on a Slurm cluster where one is found and on this machine otherwise, and joins the pictures into
// a video with ffmpeg. Exit status 0 when every frame rendered (and the video was made), 1 when a
// frame or the video failed (each named in one line), 2 for bad arguments.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/common/StandardDescriptors.h"
#include "tools/rib-farm/ChildProcess.h"
#include "tools/rib-farm/FarmOptions.h"
#include "tools/rib-farm/FramePlan.h"
#include "tools/rib-farm/LocalRunner.h"
#include "tools/rib-farm/ProgressLine.h"
#include "tools/rib-farm/RunFolder.h"
#include "tools/rib-farm/SlurmSubmitter.h"
#include "tools/rib-farm/VideoAssembly.h"

namespace {

using namespace farm;

int badArgument(const std::string &problem) {
  std::fprintf(stderr, "rib-farm: %s\n%s\n", problem.c_str(), farmUsage());
  return 2;
}

// The default renderer: the rib-view installed beside rib-farm, else the one in PATH.
std::string findRibView() {
  const std::string folder = ownFolder();
  const std::string beside = folder + "/rib-view";
  if (!folder.empty() && access(beside.c_str(), X_OK) == 0) return beside;
  return findInPath("rib-view");
}

std::string absolutePath(const std::string &path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  return error ? path : absolute.lexically_normal().string();
}

// What a run found out: one line per frame or video that failed.
struct Report {
  std::vector<std::string> lines;
  void add(const std::string &subject, const std::string &problem) {
    lines.push_back("rib-farm: " + subject + ": " + problem);
  }
};

// A frame that failed or was stopped may have left its hidden picture behind.
void removeHiddenPictures(const std::vector<Frame> &frames) {
  for (const Frame &frame : frames) {
    std::error_code error;
    std::filesystem::remove(frame.hidden, error);
  }
}

// Renders on this machine and reports what failed.
void runLocally(const FarmOptions &options, const RunFolder &run, const std::vector<Frame> &frames,
                Report &report) {
  const long processors = sysconf(_SC_NPROCESSORS_ONLN);
  const unsigned jobs = options.jobs > 0 ? options.jobs : processors > 0 ? unsigned(processors) : 1;
  ProgressLine progress;
  const std::vector<int> ends = renderLocally(run, frames.size(), jobs, progress);
  progress.end();
  bool allRendered = true;
  for (std::size_t i = 0; i < frames.size(); ++i) {
    const FrameOutcome outcome = readFrameOutcome(run, i);
    if (outcome.state == FrameOutcome::State::kRendered) continue;
    allRendered = false;
    report.add(frames[i].input, outcome.state == FrameOutcome::State::kFailed
                                    ? outcome.problem
                                    : "no result (" + describeEnd(ends[i]) + ")");
  }
  if (interruption()) return;
  if (options.video.empty()) return;
  if (!allRendered) {
    report.add("video '" + options.video + "'", "not made, as not every frame rendered");
    return;
  }
  const int end = joinVideoLocally(run);
  bool finished = false;
  const std::string problem = readVideoOutcome(run, finished);
  if (!finished)
    report.add("video '" + options.video + "'", "no result (" + describeEnd(end) + ")");
  else if (!problem.empty())
    report.add("video '" + options.video + "'", problem);
}

// Results written on a node can take a moment to show on this machine's view of a shared file
// system: a task that Slurm says COMPLETED is given a few seconds to show its frames' results.
void awaitCompletedResults(const RunFolder &run, const SlurmJobs &jobs, std::size_t tasks,
                           std::size_t count, const SlurmStates &states) {
  for (int attempt = 0; attempt < 10 && !interruption(); ++attempt) {
    bool missing = false;
    for (std::size_t i = 0; i < count && !missing; ++i) {
      const auto state = states.find(jobs.frames + "_" + std::to_string(i % tasks));
      missing = state != states.end() && state->second == "COMPLETED" &&
                readFrameOutcome(run, i).state == FrameOutcome::State::kUnknown;
    }
    if (!missing) return;
    sleep(1);
  }
}

// Renders on Slurm and reports what failed; returns false when rib-farm has stopped waiting and
// leaves the jobs and the run folder to Slurm (--no-wait, an interruption, Slurm not answering).
bool runOnSlurm(const FarmOptions &options, const RunFolder &run, const std::vector<Frame> &frames,
                std::size_t tasks, Report &report) {
  SlurmJobs jobs;
  if (const std::string problem =
          submitToSlurm(run, tasks, options.jobs, !options.video.empty(), jobs);
      !problem.empty()) {
    if (!jobs.frames.empty()) runCaptured({"scancel", jobs.frames});
    report.add("cannot submit to Slurm (--local renders on this machine)", problem);
    return true;
  }
  if (options.noWait) {
    std::printf("%s\n", jobs.frames.c_str());
    if (!jobs.video.empty()) std::printf("%s\n", jobs.video.c_str());
    return false;
  }
  ProgressLine progress;
  SlurmStates states;
  const std::string stopped = waitForSlurm(run, jobs, frames.size(), progress, states);
  progress.end();
  if (!stopped.empty()) {
    const std::string ids = jobs.video.empty() ? jobs.frames : jobs.frames + " " + jobs.video;
    std::fprintf(stderr,
                 "rib-farm: stopped waiting (%s); Slurm job %s goes on (scancel %s stops it)\n",
                 stopped.c_str(), ids.c_str(), ids.c_str());
    return false;
  }
  awaitCompletedResults(run, jobs, tasks, frames.size(), states);
  bool allRendered = true;
  for (std::size_t i = 0; i < frames.size(); ++i) {
    const FrameOutcome outcome = readFrameOutcome(run, i);
    if (outcome.state == FrameOutcome::State::kRendered) continue;
    allRendered = false;
    report.add(frames[i].input,
               outcome.state == FrameOutcome::State::kFailed
                   ? outcome.problem
                   : slurmEnding(states, jobs.frames + "_" + std::to_string(i % tasks)));
  }
  if (jobs.video.empty()) return true;
  bool finished = false;
  const std::string problem = readVideoOutcome(run, finished);
  const std::string subject = "video '" + options.video + "'";
  if (!finished && !allRendered)
    report.add(subject, "not made, as not every frame rendered");
  else if (!finished)
    report.add(subject, slurmEnding(states, jobs.video));
  else if (!problem.empty())
    report.add(subject, problem);
  return true;
}

} // namespace

int main(int argc, char **argv) {
  ribtools::occupyClosedStandardDescriptors();
  const FarmParse parsed = parseFarmOptions(argc, argv);
  if (!parsed.error.empty()) return badArgument(parsed.error);
  const FarmOptions &options = parsed.options;
  if (options.help) {
    std::printf("%s\n%s", farmUsage(), farmOptionHelp());
    return 0;
  }
  if (options.version) {
    std::printf("rib-farm %s\n", RIB_FARM_VERSION);
    return 0;
  }
  if (const std::string problem = framesProblem(options.files, options.outDir); !problem.empty())
    return badArgument(problem);
  if (!options.video.empty())
    if (const std::string problem = videoProblem(options.video); !problem.empty())
      return badArgument(problem);
  std::string command = options.render;
  if (command.empty()) {
    const std::string ribView = findRibView();
    if (ribView.empty())
      return badArgument("no rib-view beside rib-farm or in PATH; name a renderer with --render");
    command = shellQuote(ribView) + " --snapshot {out} {in}";
  }
  const bool slurm = !options.local && !findInPath("sbatch").empty();
  if (options.noWait && !slurm)
    return badArgument("--no-wait leaves the frames to Slurm, and sbatch was not found");

  catchInterruptions();
  RunFolder run;
  if (const std::string problem = createRunFolder(options.outDir, run); !problem.empty())
    return badArgument(problem);
  const std::vector<Frame> frames = planFrames(options.files, options.outDir, run.token);
  std::vector<std::string> commands;
  // Absolute paths: a command may change folders before it reads or writes (a renderer that
  // writes its own image where it runs, then a converter).
  for (const Frame &frame : frames)
    commands.push_back(fillCommand(command, absolutePath(frame.input), absolutePath(frame.hidden)));
  const std::size_t tasks = slurm ? slurmTaskCount(frames.size()) : frames.size();
  std::string problem = writeFramesScript(run, frames, commands, tasks);
  if (problem.empty() && !options.video.empty())
    problem = prepareVideo(run, frames, options.video, options.fps);
  if (!problem.empty()) {
    removeRunFolder(run);
    return badArgument(problem);
  }

  Report report;
  if (slurm) {
    if (!runOnSlurm(options, run, frames, tasks, report)) {
      if (interruption()) endByInterruption();
      return options.noWait ? 0 : 1;
    }
  } else {
    runLocally(options, run, frames, report);
  }
  removeHiddenPictures(frames);
  if (!options.video.empty()) {
    std::error_code error;
    std::filesystem::remove(hiddenVideoPath(run, options.video), error);
  }
  removeRunFolder(run);
  if (interruption()) endByInterruption();
  for (const std::string &line : report.lines) std::fprintf(stderr, "%s\n", line.c_str());
  return report.lines.empty() ? 0 : 1;
}
